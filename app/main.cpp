#include "app/MainWindow.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    app.setFont(SheetliftFont(11));
    TForm1 form;
    form.show();
    return app.exec();
}
