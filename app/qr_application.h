#pragma once
// The program's application object: exceptions that leave any event handler
// are shown in the standard error box and the program goes on.

#include <QApplication>

namespace qrp {

class TQRApplication : public QApplication {
public:
    TQRApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace qrp
