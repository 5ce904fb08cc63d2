// Cinaxo: the catalogue of a home film collection on removable discs.

#include "AboutForm.h"
#include "AddEditForm.h"
#include "Application.h"
#include "Colors.h"
#include "ConfigForm.h"
#include "MainForm.h"

#include <QFont>

int main(int argc, char *argv[])
{
    TApplication app(argc, argv);
    app.setTitle(QStringLiteral("Cinaxo"));
    SysColors::fillFromPalette(QApplication::palette());
    // The layouts name the fonts of the system they were drawn on; these are the nearest here.
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    QFont::insertSubstitutions(QStringLiteral("Tahoma"), {QStringLiteral("DejaVu Sans")});

    Form1 = new TForm1;
    AddEditForm = new TAddEditForm(Form1);
    ConfigForm = new TConfigForm(Form1);
    AboutForm = new TAboutForm(Form1);
    Form1->show();
    const int result = QApplication::exec();
    delete Form1;
    return result;
}
