#include "platform/text/font_mapping.h"

#include <fontconfig/fontconfig.h>

#include <mutex>

#include <QHash>

#include "platform/text/code_pages.h"

namespace qrp {

namespace {

// Faces fontconfig has no rule for, by the face the system itself draws for
// them: the old screen faces and the short names of the common faces.
const QHash<QString, QString>& ScreenFaces()
{
    static const QHash<QString, QString> faces = {
        {"ms sans serif", "Arial"},         {"microsoft sans serif", "Arial"}, {"ms shell dlg", "Arial"},
        {"ms shell dlg 2", "Arial"},        {"system", "Arial"},               {"small fonts", "Arial"},
        {"helv", "Arial"},                  {"helvetica", "Arial"},            {"ms serif", "Times New Roman"},
        {"tms rmn", "Times New Roman"},     {"times", "Times New Roman"},      {"roman", "Times New Roman"},
        {"courier", "Courier New"},         {"fixedsys", "Courier New"},       {"terminal", "Courier New"},
        {"lucida console", "Courier New"},
    };
    return faces;
}

// The suffixes of the faces that name a script besides the family: "Arial CE"
// is Arial with the East-European character set.
constexpr const char* kScriptSuffixes[] = {" ce", " cyr", " greek", " tur", " baltic"};

QString MatchFamily(const QString& face, const QString& language)
{
    FcPattern* pattern = FcPatternCreate();
    if (!pattern)
        return face;
    const QByteArray family = face.toUtf8();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.constData()));
    const QByteArray lang = language.toUtf8();
    if (!lang.isEmpty())
        FcPatternAddString(pattern, FC_LANG, reinterpret_cast<const FcChar8*>(lang.constData()));
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    QString found;
    FcChar8* name = nullptr;
    if (match && FcPatternGetString(match, FC_FAMILY, 0, &name) == FcResultMatch && name)
        found = QString::fromUtf8(reinterpret_cast<const char*>(name));
    if (match)
        FcPatternDestroy(match);
    FcPatternDestroy(pattern);
    return found.isEmpty() ? face : found;
}

// Scripts the Western families do not write: a face unknown here is better
// drawn with the script's own font than with Arial.
bool HasScriptOfItsOwn(const QString& language)
{
    static const QStringList own = {"ja", "ko", "zh-cn", "zh-tw", "he", "ar", "th"};
    return own.contains(language);
}

}  // namespace

QString CanonicalWindowsFace(const QString& windowsFace)
{
    QString face = windowsFace.trimmed();
    QString key = face.toLower();
    for (const char* suffix : kScriptSuffixes) {
        if (key.endsWith(QLatin1String(suffix)) && key.size() > static_cast<qsizetype>(qstrlen(suffix))) {
            face.chop(static_cast<qsizetype>(qstrlen(suffix)));
            key = face.toLower();
            break;
        }
    }
    if (face.isEmpty())
        return QStringLiteral("Arial");
    return ScreenFaces().value(key, face);
}

QString LanguageOfCharset(std::uint8_t charSet)
{
    switch (charSet) {
    case 128: return QStringLiteral("ja");      // SHIFTJIS_CHARSET
    case 129:                                   // HANGUL_CHARSET
    case 130: return QStringLiteral("ko");      // JOHAB_CHARSET
    case 134: return QStringLiteral("zh-cn");   // GB2312_CHARSET
    case 136: return QStringLiteral("zh-tw");   // CHINESEBIG5_CHARSET
    case 161: return QStringLiteral("el");      // GREEK_CHARSET
    case 162: return QStringLiteral("tr");      // TURKISH_CHARSET
    case 163: return QStringLiteral("vi");      // VIETNAMESE_CHARSET
    case 177: return QStringLiteral("he");      // HEBREW_CHARSET
    case 178: return QStringLiteral("ar");      // ARABIC_CHARSET
    case 186: return QStringLiteral("lt");      // BALTIC_CHARSET
    case RUSSIAN_CHARSET: return QStringLiteral("ru");
    case 222: return QStringLiteral("th");      // THAI_CHARSET
    case EASTEUROPE_CHARSET: return QStringLiteral("cs");
    default: return {};
    }
}

namespace {
// fontconfig's matching reads its configuration and font lists; pages ask the
// same few questions over and over, from several threads. The answers are
// kept within a bound: names and texts come from files, and a page naming a
// new face in every record must not grow the table without end.
class TMatchCache {
public:
    template <typename TMatch>
    QString Get(const QString& key, TMatch&& match)
    {
        std::lock_guard guard(Mutex);
        if (const auto it = Known.constFind(key); it != Known.constEnd())
            return *it;
        if (Known.size() >= kMaxAnswers)
            Known.clear();
        const QString answer = match();
        Known.insert(key, answer);
        return answer;
    }

private:
    static constexpr qsizetype kMaxAnswers = 4096;
    std::mutex Mutex;
    QHash<QString, QString> Known;
};

QString MatchCharacters(const QString& family, const QString& text)
{
    FcCharSet* characters = FcCharSetCreate();
    FcPattern* pattern = FcPatternCreate();
    QString found = family;
    if (characters && pattern) {
        for (const char32_t c : text.toUcs4())
            if (c > 0x20)
                FcCharSetAddChar(characters, c);
        const QByteArray name = family.toUtf8();
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(name.constData()));
        FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        // The family itself first: it wins when it has every character.
        FcResult result = FcResultNoMatch;
        if (FcPattern* own = FcFontMatch(nullptr, pattern, &result)) {
            FcCharSet* has = nullptr;
            const bool complete = FcPatternGetCharSet(own, FC_CHARSET, 0, &has) == FcResultMatch &&
                                  FcCharSetSubtractCount(characters, has) == 0;
            FcPatternDestroy(own);
            if (!complete) {
                FcPatternAddCharSet(pattern, FC_CHARSET, characters);
                if (FcPattern* match = FcFontMatch(nullptr, pattern, &result)) {
                    FcChar8* matched = nullptr;
                    if (FcPatternGetString(match, FC_FAMILY, 0, &matched) == FcResultMatch && matched)
                        found = QString::fromUtf8(reinterpret_cast<const char*>(matched));
                    FcPatternDestroy(match);
                }
            }
        }
    }
    if (pattern)
        FcPatternDestroy(pattern);
    if (characters)
        FcCharSetDestroy(characters);
    return found;
}
}  // namespace

QString FamilyWithCharacters(const QString& family, const QString& text)
{
    static TMatchCache cache;
    return cache.Get(family + QChar(0) + text, [&] { return MatchCharacters(family, text); });
}

QString SubstituteFontFamily(const QString& windowsFace, std::uint8_t charSet)
{
    static TMatchCache cache;
    const QString face = CanonicalWindowsFace(windowsFace);
    const QString language = LanguageOfCharset(charSet);
    return cache.Get(face.toLower() + QChar(0) + language, [&] {
        const QString family = MatchFamily(face, language);
        // A face fontconfig knows no rule for gets its default family; the system
        // draws such a face as Arial, unless the script asks for a font of its own.
        if (family.compare(face, Qt::CaseInsensitive) != 0 &&
            family == MatchFamily(QStringLiteral("sans-serif"), language) && !HasScriptOfItsOwn(language))
            return MatchFamily(QStringLiteral("Arial"), language);
        return family;
    });
}

}  // namespace qrp
