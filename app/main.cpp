#include "app/MainWindow.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    SetUpApplication(app);
    TForm1 form;
    form.show();
    return app.exec();
}
