#include "AboutForm.h"

#include "Application.h"
#include "Bitmap.h"
#include "Colors.h"
#include "FormSupport.h"
#include "VelFont3D.h"
#include "VelFrame.h"
#include "ui_AboutForm.h"

TAboutForm *AboutForm = nullptr;

namespace {
void whiteText(QWidget *widget)
{
    QPalette p = widget->palette();
    p.setColor(QPalette::WindowText, Qt::white);
    widget->setPalette(p);
}
} // namespace

TAboutForm::TAboutForm(QWidget *parent) : QDialog(parent), m_ui(std::make_unique<Ui::TAboutForm>())
{
    {
        FormLoading loading;
        m_ui->setupUi(this);
        // What the layout cannot say: fonts in pixels, colours, the sub-objects of the effect label.
        setFont(LayoutFont("Tahoma", 11));
        setFixedSize(349, 233);
        QPalette blue = m_ui->Panel1->palette();
        blue.setColor(QPalette::Window, toQColor(clBlue));
        m_ui->Panel1->setPalette(blue);
        TBitmap icon;
        icon.LoadFromResourceName(QStringLiteral("MAINICON"));
        m_ui->Image1->setPixmap(QPixmap::fromImage(icon.Image()));
        m_ui->VelLabel1->setFont(LayoutFont("Tahoma", 24, true));
        m_ui->VelLabel1->setFontColor(clWhite);
        m_ui->VelLabel1->Font3D()->setShadow(clBlack);
        m_ui->VelLabel1->Font3D()->setStyle3D(fontOnlyShadow);
        m_ui->VelLabel1->Frame()->setFrameStyle(frameNone);
        m_ui->Label1->setFont(LayoutFont("Tahoma", 11, true));
        whiteText(m_ui->Label1);
        for (TVelCommandLabel *link : {m_ui->VelCommandLabel1, m_ui->VelCommandLabel2}) {
            QFont font = LayoutFont("Tahoma", 11);
            font.setUnderline(true);
            link->setFont(font);
            link->setFontColor(clBlue);
        }
    }
    FormLoading::Finish(this);
    connect(m_ui->Button1, &QPushButton::clicked, this, Guarded([this] { Button1Click(); }));
}

TAboutForm::~TAboutForm() = default;

void TAboutForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TAboutForm::FormShow()
{
    if (m_shown)
        return;
    m_shown = true;
    m_ui->Info1->setCaption(m_ui->Info1->Caption() + QStringLiteral(" )"));
}

void TAboutForm::Button1Click()
{
    done(QDialog::Accepted);
}
