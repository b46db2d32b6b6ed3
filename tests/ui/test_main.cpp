// The widget tests (of the dialog layer and of both editions) run inside one QApplication on the
// offscreen platform.
#include <gtest/gtest.h>

#include <QApplication>

#include "platform/ui/dialog_units.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    keytut::ui::installFontSubstitutions();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
