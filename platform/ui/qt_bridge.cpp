#include "qt_bridge.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QMetaObject>

namespace keytut::ui {

void QtMessageSink::showMessage(const std::string& text) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(caption_),
                    QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size())),
                    QMessageBox::Ok);
    box.exec();
}

audio::Dispatcher uiDispatcher() {
    return [](std::function<void()> call) {
        QCoreApplication* app = QCoreApplication::instance();
        if (!app)
            return;
        QMetaObject::invokeMethod(app, std::move(call), Qt::QueuedConnection);
    };
}

}  // namespace keytut::ui
