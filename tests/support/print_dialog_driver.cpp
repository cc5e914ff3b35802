#include "tests/support/print_dialog_driver.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>

#include "tests/support/when_dialog_active.h"

namespace qrp::test {

namespace {
template <typename Widget>
Widget& Child(QWidget& parent, const char* name)
{
    auto* child = parent.findChild<Widget*>(QString::fromLatin1(name));
    if (!child)
        throw std::runtime_error(std::string("the print dialog has no ") + name);
    return *child;
}

}  // namespace

void AnswerPrintDialog(std::function<void(QPrintDialog&)> fill, bool accept)
{
    WhenDialogActive<QPrintDialog>(std::function<void(QPrintDialog&)>([fill, accept](QPrintDialog& dialog) {
        try {
            if (fill)
                fill(dialog);
        } catch (const std::exception& error) {
            ADD_FAILURE() << error.what();
        }
        if (accept)
            dialog.accept();
        else
            dialog.reject();
    }));
}

void ChoosePrinter(QPrintDialog& dialog, const std::string& name)
{
    auto& printers = Child<QComboBox>(dialog, "printers");
    const int index = printers.findText(QString::fromStdString(name));
    if (index < 0)
        throw std::runtime_error("the print dialog offers no printer " + name);
    printers.setCurrentIndex(index);
}

void ChooseOutputFile(QPrintDialog& dialog, const std::string& file)
{
    Child<QLineEdit>(dialog, "filename").setText(QString::fromStdString(file));
}

void ChoosePageRange(QPrintDialog& dialog, int from, int to)
{
    Child<QRadioButton>(dialog, "printRange").click();
    Child<QSpinBox>(dialog, "from").setValue(from);
    Child<QSpinBox>(dialog, "to").setValue(to);
}

void ChooseAllPages(QPrintDialog& dialog) { Child<QRadioButton>(dialog, "printAll").click(); }

void ChooseCopies(QPrintDialog& dialog, int copies) { Child<QSpinBox>(dialog, "copies").setValue(copies); }

void ChooseOrientation(QPrintDialog& dialog, bool landscape)
{
    // The properties dialog is modal too: it is answered while its button's click runs.
    WhenDialogActive<QDialog>(std::function<void(QDialog&)>([landscape](QDialog& properties) {
        Child<QRadioButton>(properties, landscape ? "landscape" : "portrait").click();
        properties.accept();
    }));
    Child<QPushButton>(dialog, "properties").click();
}

}  // namespace qrp::test
