#include "ConfigForm.h"
#include "MainForm.h"
#include "ProgramDir.h"
#include "SdfData.h"
#include "ui_MainForm.h"

#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {
QStringList g_warnings;

// Collects the warnings of the program while it lives: an error that reached the event loop says so.
class Warnings
{
public:
    Warnings()
    {
        g_warnings.clear();
        m_previous =
            qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &text) {
                if (type == QtWarningMsg)
                    g_warnings << text;
            });
    }
    ~Warnings() { qInstallMessageHandler(m_previous); }
    QStringList escaped() const { return g_warnings.filter(QStringLiteral("reached the event loop")); }

private:
    QtMessageHandler m_previous;
};
} // namespace

TEST(Commands, AFailedDeleteGoesToTheErrorBoxByButtonKeyAndMenu)
{
    ProgramDir dir(true, true, "");
    TForm1 form;
    form.show();
    Warnings warnings;
    const std::vector<QString> refused{
        QStringLiteral("DataSet: Cannot perform this operation on an empty dataset")};
    const std::vector<std::pair<const char *, std::function<void()>>> triggers{
        {"button", [&] { QTest::mouseClick(form.ui().Button03, Qt::LeftButton); }},
        {"key", [&] { QTest::keyClick(form.ui().DBGrid1, Qt::Key_Delete); }},
        {"menu", [&] { form.MenuItem(QStringLiteral("N8"))->trigger(); }},
        {"pop-up menu", [&] { form.MenuItem(QStringLiteral("GridDelete"))->trigger(); }},
    };
    for (const auto &[how, trigger] : triggers) {
        dir.dialogs.answers = {mrOk};
        dir.dialogs.errors.clear();
        EXPECT_EQ(MESSAGE_OF(trigger()), "<no error>") << how;
        EXPECT_EQ(dir.dialogs.errors, refused) << how;
    }
    EXPECT_EQ(dir.dialogs.questions.size(), triggers.size());
    EXPECT_EQ(warnings.escaped(), QStringList());
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.DataSet()->State(), TDataSetState::dsBrowse);
}

TEST(Commands, ASettingThatCannotBeReadStopsTheSettingsDialog)
{
    ProgramDir dir;
    dir.registry.put(QStringLiteral("MicroDVDPath"), QStringLiteral("/opt/mdvd/mdvdp"));
    dir.registry.put(QStringLiteral("BSPlayerPath"), QStringLiteral("7"), TRegDataType::rdInteger);
    TForm1 form;
    form.show();
    Warnings warnings;
    // Were the dialog to open, Save would store what it shows.
    bool opened = false;
    QTimer save;
    save.setInterval(5);
    QObject::connect(&save, &QTimer::timeout, [&] {
        if (auto *dialog = qobject_cast<TConfigForm *>(QApplication::activeModalWidget())) {
            opened = true;
            dialog->Button05Click();
        }
    });
    save.start();
    form.MenuItem(QStringLiteral("N2"))->trigger();
    EXPECT_FALSE(opened);
    EXPECT_EQ(dir.dialogs.errors,
              std::vector<QString>{QStringLiteral("Invalid data type for 'BSPlayerPath'")});
    EXPECT_TRUE(dir.registry.writes.empty());
    EXPECT_EQ(dir.registry.get(QStringLiteral("MicroDVDPath")), QStringLiteral("/opt/mdvd/mdvdp"));
    EXPECT_EQ(warnings.escaped(), QStringList());
}

TEST(Commands, QtsOwnTextsSpeakBulgarian)
{
    // qtbase_bg.qm, from Debian's qt6-translations-l10n.
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Look in:"), QString::fromUtf8("Преглед на:"));
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "File &name:"), QString::fromUtf8("Име на &файла:"));
}
