#include "ConfigForm.h"

#include "Application.h"
#include "Colors.h"
#include "Dialogs.h"
#include "FormSupport.h"
#include "PlayerSettings.h"
#include "XP_Color.h"
#include "ui_ConfigForm.h"

#include <QDir>
#include <QFileInfo>

TConfigForm *ConfigForm = nullptr;

namespace {
const char *const kFilter = "Изпълними файлове|*.exe";
const QString kProgramFolder = QStringLiteral("/usr/bin");
} // namespace

TConfigForm::TConfigForm(QWidget *owner) : QDialog(owner), m_ui(std::make_unique<Ui::TConfigForm>())
{
    {
        FormLoading loading;
        m_ui->setupUi(this);
    }
    FormLoading::Finish(this);
    setFont(LayoutFont("MS Sans Serif", 11));
    setFixedSize(434, 293);
    move(192, 114);
    for (TqzXPEdit *edit : {m_ui->MicroDVDPath, m_ui->BSPlayerPath, m_ui->MediaPlayerPath}) {
        edit->Colors()->setBackColor(clWindow);
        edit->Colors()->setBackHiColor(clWindow);
    }
    // The page carries no labels; each box and its button still tell which player they are for, to
    // the mouse and to a screen reader.
    const struct
    {
        QWidget *edit;
        QWidget *button;
        const char *player;
    } players[] = {{m_ui->MicroDVDPath, m_ui->Button01, "MicroDVD"},
                   {m_ui->BSPlayerPath, m_ui->Button02, "BSPlayer"},
                   {m_ui->MediaPlayerPath, m_ui->Button03, "Windows Media Player"}};
    for (const auto &player : players) {
        const QString name = QString::fromUtf8("Път до %1").arg(QLatin1String(player.player));
        player.edit->setToolTip(name);
        player.edit->setAccessibleName(name);
        player.button->setToolTip(QString::fromUtf8("Избор на %1").arg(QLatin1String(player.player)));
    }
    connect(m_ui->Button01, &TNoxSkinBtn::OnClick, this, Guarded([this] { Button01Click(); }));
    connect(m_ui->Button02, &TNoxSkinBtn::OnClick, this, Guarded([this] { Button02Click(); }));
    connect(m_ui->Button03, &TNoxSkinBtn::OnClick, this, Guarded([this] { Button03Click(); }));
    connect(m_ui->Button04, &TNoxSkinBtn::OnClick, this, Guarded([this] { Button04Click(); }));
    connect(m_ui->Button05, &TNoxSkinBtn::OnClick, this, Guarded([this] { Button05Click(); }));
    FormCreate();
}

TConfigForm::~TConfigForm() = default;

void TConfigForm::FormCreate()
{
    LoadSkins({m_ui->Button01, m_ui->Button02, m_ui->Button03, m_ui->Button04, m_ui->Button05});
}

void TConfigForm::LoadSettings()
{
    const TPlayerPaths paths = PlayerSettings::ReadAll().value_or(TPlayerPaths{});
    m_ui->MicroDVDPath->setText(paths[plMicroDVD]);
    m_ui->BSPlayerPath->setText(paths[plBSPlayer]);
    m_ui->MediaPlayerPath->setText(paths[plMediaPlayer]);
}

bool TConfigForm::SaveSettings()
{
    TPlayerPaths paths;
    paths[plMicroDVD] = m_ui->MicroDVDPath->text();
    paths[plBSPlayer] = m_ui->BSPlayerPath->text();
    paths[plMediaPlayer] = m_ui->MediaPlayerPath->text();
    if (!PlayerSettings::WriteAll(paths)) {
        // The user must not believe the paths were kept when they were not.
        Dialogs().ShowMessage(QString::fromUtf8("Настройките не можаха да бъдат записани: "
                                                "хранилището на настройките не може да бъде отворено."));
        return false;
    }
    return true;
}

void TConfigForm::Execute()
{
    // The paths are read before the dialog is shown: a value that cannot be read stops the command
    // here, so the dialog never offers empty boxes that Save would store over good paths.
    LoadSettings();
    if (exec() == QDialog::Accepted)
        SaveSettings();
}

void TConfigForm::choosePlayer(int player, const char *title, const QString &defaultName, QLineEdit *edit)
{
    // The first choice opens beside the player already chosen, or where programs are installed.
    if (m_folders[player].isEmpty()) {
        const QFileInfo current(edit->text());
        m_folders[player] = !edit->text().isEmpty() && current.absoluteDir().exists() ? current.absolutePath()
                                                                                      : kProgramFolder;
    }
    const QString file = Dialogs().OpenFileName(QString::fromUtf8(title), QString::fromUtf8(kFilter),
                                                defaultName, m_folders[player]);
    if (file.isEmpty())
        return;
    const QFileInfo info(file);
    if (!info.isFile() || !info.isExecutable()) {
        Dialogs().ShowMessage(QString::fromUtf8("Файлът\n%1\nне е програма, която може да бъде стартирана. "
                                                "Изберете изпълнимия файл на плейъра.")
                                  .arg(file));
        return;
    }
    edit->setText(file);
}

void TConfigForm::Button01Click()
{
    choosePlayer(plMicroDVD, "Посочете пълният път до MicroDVD ...", QStringLiteral("mdvdp.exe"),
                 m_ui->MicroDVDPath);
}

void TConfigForm::Button02Click()
{
    choosePlayer(plBSPlayer, "Посочете пътя до BSPlayer", QStringLiteral("bplay.exe"), m_ui->BSPlayerPath);
}

void TConfigForm::Button03Click()
{
    choosePlayer(plMediaPlayer, "Посочете пътя до Windows Media Player", QStringLiteral("wmplayer.exe"),
                 m_ui->MediaPlayerPath);
}

void TConfigForm::Button04Click()
{
    done(QDialog::Rejected);
}

void TConfigForm::Button05Click()
{
    done(QDialog::Accepted);
}
