#include "Dialogs.h"
#include "FakePlatform.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QListView>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTranslator>
#include <gtest/gtest.h>

namespace {
QStringList captionsOf(QWidget *modal)
{
    QStringList captions;
    if (auto *box = qobject_cast<QMessageBox *>(modal)) {
        for (QAbstractButton *button : box->buttons())
            captions << button->text();
    }
    return captions;
}

void clickButton(QWidget *modal, const QString &caption)
{
    for (QAbstractButton *button : static_cast<QMessageBox *>(modal)->buttons()) {
        if (button->text() == caption)
            button->click();
    }
}

// The names a file dialog lists in its folder, once it has read them.
QStringList listed(QFileDialog *dialog, int expected)
{
    auto *view = dialog->findChild<QListView *>(QStringLiteral("listView"));
    auto names = [view] {
        QStringList out;
        const QModelIndex root = view->rootIndex();
        for (int row = 0; row < view->model()->rowCount(root); ++row)
            out << view->model()->index(row, 0, root).data().toString();
        out.sort();
        return out;
    };
    // When it does not come, the names it has shown are compared.
    (void)QTest::qWaitFor([&] { return names().size() == expected; }, 3000);
    return names();
}

void makeFile(const QString &path, bool executable)
{
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write("x");
    file.close();
    if (executable)
        file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
}
} // namespace

TEST(MessageBoxes, NamedButtonsSpeakTheProgramsLanguage)
{
    RealDialogs dialogs;
    const QStringList buttons{QString::fromUtf8("Опитай отново"), QString::fromUtf8("Запиши другаде..."),
                              QString::fromUtf8("Изход без запис"), QString::fromUtf8("Отказ")};
    QStringList shown;
    QString title;
    whenModal([&](QWidget *modal) {
        shown = captionsOf(modal);
        title = modal->windowTitle();
        clickButton(modal, buttons[1]);
    });
    EXPECT_EQ(dialogs.Ask(QStringLiteral("?"), TMsgDlgType::mtError, buttons, buttons[3]), buttons[1]);
    EXPECT_EQ(shown, buttons);
    EXPECT_EQ(title, QApplication::applicationName());
    whenModal([](QWidget *modal) { QTest::keyClick(modal, Qt::Key_Escape); });
    EXPECT_EQ(dialogs.Ask(QStringLiteral("?"), TMsgDlgType::mtError, buttons, buttons[3]), buttons[3]);

    // With an escape that is none of the buttons, Esc and the border close the box without a choice.
    const QStringList yesNo{QString::fromUtf8("Да"), QString::fromUtf8("Не")};
    for (bool byKey : {true, false}) {
        SCOPED_TRACE(byKey);
        whenModal([&](QWidget *modal) {
            if (byKey)
                QTest::keyClick(modal, Qt::Key_Escape);
            else
                modal->close();
            // A box that stayed is answered, so that the test goes on.
            if (modal->isVisible())
                clickButton(modal, yesNo[0]);
        });
        EXPECT_EQ(dialogs.Ask(QStringLiteral("?"), TMsgDlgType::mtConfirmation, yesNo, QString()), QString());
    }
}

TEST(MessageBoxes, PlainBoxesKeepTheirOkWhateverQtSpeaks)
{
    QTranslator qtTexts;
    ASSERT_TRUE(qtTexts.load(QStringLiteral("qtbase_bg"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        << "Qt's Bulgarian texts (qt6-translations-l10n) are missing";
    QApplication::installTranslator(&qtTexts);
    RealDialogs dialogs;
    std::vector<QStringList> shown;
    for (auto show : {&RealDialogs::ShowMessage, &RealDialogs::ShowError}) {
        whenModal([&](QWidget *modal) {
            shown.push_back(captionsOf(modal));
            QTest::keyClick(modal, Qt::Key_Return);
        });
        (dialogs.*show)(QStringLiteral("text"));
    }
    // The delete confirmation keeps its captions too.
    whenModal([&](QWidget *modal) {
        shown.push_back(captionsOf(modal));
        EXPECT_EQ(modal->windowTitle(), QStringLiteral("Confirm"));
        QTest::keyClick(modal, Qt::Key_Escape);
    });
    EXPECT_EQ(dialogs.MessageDlg(QStringLiteral("?"), TMsgDlgType::mtConfirmation, MsgButtons::mbOKCancel),
              mrCancel);
    QApplication::removeTranslator(&qtTexts);
    EXPECT_EQ(shown, (std::vector<QStringList>{{QStringLiteral("OK")},
                                               {QStringLiteral("OK")},
                                               {QStringLiteral("OK"), QStringLiteral("Cancel")}}));
}

TEST(FileDialogs, ProgramsAreTheExecutableFilesAndAllFilesIsEveryFile)
{
    QTemporaryDir dir;
    makeFile(dir.filePath(QStringLiteral("mplayer")), true);
    makeFile(dir.filePath(QStringLiteral("notes.txt")), false);
    makeFile(dir.filePath(QStringLiteral("README")), false);
    makeFile(dir.filePath(QStringLiteral("setup.exe")), false);
    QDir(dir.path()).mkdir(QStringLiteral("bin"));
    RealDialogs dialogs;
    QStringList programs, all;
    QString open, cancel;
    whenModal([&](QWidget *modal) {
        auto *dialog = qobject_cast<QFileDialog *>(modal);
        ASSERT_NE(dialog, nullptr);
        programs = listed(dialog, 2);
        open = dialog->labelText(QFileDialog::Accept);
        cancel = dialog->labelText(QFileDialog::Reject);
        dialog->reject();
    });
    QString folder = dir.path();
    EXPECT_EQ(dialogs.OpenFileName(QStringLiteral("Player"), QString::fromUtf8("Изпълними файлове|*.exe"),
                                   QStringLiteral("mdvdp.exe"), folder),
              QString());
    EXPECT_EQ(programs, (QStringList{QStringLiteral("bin"), QStringLiteral("mplayer")}));
    EXPECT_EQ(open, QString::fromUtf8("Отвори"));
    EXPECT_EQ(cancel, QString::fromUtf8("Отказ"));

    whenModal([&](QWidget *modal) {
        auto *dialog = qobject_cast<QFileDialog *>(modal);
        ASSERT_NE(dialog, nullptr);
        all = listed(dialog, 5);
        dialog->reject();
    });
    dialogs.OpenFileName(QString(), QString::fromUtf8("Всички файлове |*.*"), QString(), folder);
    EXPECT_EQ(all, (QStringList{QStringLiteral("README"), QStringLiteral("bin"), QStringLiteral("mplayer"),
                                QStringLiteral("notes.txt"), QStringLiteral("setup.exe")}));
    EXPECT_EQ(toQtFilter(QString::fromUtf8("Всички файлове |*.*|Текстови файлове|*.txt;*.TXT")),
              QString::fromUtf8("Всички файлове (*);;Текстови файлове (*.txt *.TXT)"));
}

TEST(FileDialogs, ANameWithoutExtensionTakesTheChosenTypes)
{
    QTemporaryDir dir;
    RealDialogs dialogs;
    auto saveAs = [&](const char *typed, int type) {
        whenModal([&](QWidget *modal) {
            auto *dialog = qobject_cast<QFileDialog *>(modal);
            ASSERT_NE(dialog, nullptr);
            dialog->setDirectory(dir.path());
            // The type chosen in its box by the keyboard, as the user does: the box tells its shown
            // name, without the patterns.
            auto *types = dialog->findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
            ASSERT_TRUE(types);
            for (int i = 0; i < type; ++i)
                QTest::keyClick(types, Qt::Key_Down);
            ASSERT_EQ(types->currentIndex(), type);
            dialog->selectFile(QString::fromUtf8(typed));
            static_cast<QDialog *>(dialog)->accept(); // QFileDialog::accept, which checks the name
        });
        return QFileInfo(dialogs.SaveFileName(
                             QString::fromUtf8("Експорт"),
                             QString::fromUtf8("CSV файлове|*.csv|HTML таблица|*.html|Всички файлове|*.*"),
                             QStringLiteral("Cinaxo.csv")))
            .fileName();
    };
    EXPECT_EQ(saveAs("films", 1), QStringLiteral("films.html"));
    EXPECT_EQ(saveAs("films", 0), QStringLiteral("films.csv"));
    EXPECT_EQ(saveAs("films.txt", 1), QStringLiteral("films.txt"));
    EXPECT_EQ(saveAs("films", 2), QStringLiteral("films"));
}

TEST(Dialogs, TheProgramClosesTheMessageItShows)
{
    RealDialogs dialogs;
    dialogs.CloseMessage(); // none open: nothing happens
    QString shown;
    // The box closes from code; a box left open is closed by the safety net with a failure.
    whenModal([&shown](QWidget *modal) { shown = static_cast<QMessageBox *>(modal)->text(); }, 2000);
    QTimer::singleShot(100, [&dialogs] { dialogs.CloseMessage(); });
    QElapsedTimer open;
    open.start();
    dialogs.ShowMessage(QStringLiteral("Insert the disc"));
    EXPECT_LT(open.elapsed(), 1500);
    EXPECT_EQ(shown, QStringLiteral("Insert the disc"));
}
