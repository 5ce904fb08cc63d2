// Cinaxo: the catalogue of a home film collection on removable discs.

#include "AboutForm.h"
#include "AddEditForm.h"
#include "Application.h"
#include "Bitmap.h"
#include "Colors.h"
#include "ConfigForm.h"
#include "MainForm.h"
#include "SanitizerDefaults.h"

#include <QFont>
#include <QIcon>
#include <QPixmap>

int main(int argc, char *argv[])
{
    TApplication app(argc, argv);
    app.setTitle(QStringLiteral("Cinaxo"));
    SysColors::fillFromPalette(QApplication::palette());

    TBitmap icon;
    icon.LoadFromResourceName(QStringLiteral("MAINICON"));
    QApplication::setWindowIcon(QIcon(QPixmap::fromImage(icon.Image())));

    Form1 = new TForm1;
    AddEditForm = new TAddEditForm(Form1);
    ConfigForm = new TConfigForm(Form1);
    AboutForm = new TAboutForm(Form1);
    if (Form1->QuitRequested()) {
        delete Form1;
        return 0;
    }
    Form1->show();
    const int result = QApplication::exec();
    delete Form1;
    return result;
}
