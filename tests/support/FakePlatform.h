#pragma once
// Fakes for the registry store and the shell, and a way to answer a modal window.

#include "Registry.h"
#include "Shell.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <set>
#include <tuple>
#include <vector>

class FakeRegistry : public IRegistryStore
{
public:
    FakeRegistry() { SetRegistryStore(this); }
    ~FakeRegistry() override { SetRegistryStore(nullptr); }

    bool keyExists(TRootKey root, const QString &key) override
    {
        return keys.count({int(root), norm(key)}) > 0;
    }
    bool createKey(TRootKey root, const QString &key) override
    {
        if (refuseKeys)
            return false;
        keys.insert({int(root), norm(key)});
        return true;
    }
    std::optional<RegValue> value(TRootKey root, const QString &key, const QString &name) override
    {
        reads.push_back(name);
        const auto it = values.find({int(root), norm(key), name});
        if (it == values.end())
            return std::nullopt;
        return it->second;
    }
    bool setValue(TRootKey root, const QString &key, const QString &name, const RegValue &v) override
    {
        if (writesLeft == 0)
            return false;
        if (writesLeft > 0)
            --writesLeft;
        writes.push_back(name);
        values[{int(root), norm(key), name}] = v;
        return true;
    }
    void put(const QString &name, const QString &text, TRegDataType type = TRegDataType::rdString)
    {
        const QString key = QStringLiteral("Software\\Cinaxo\\Configuration");
        keys.insert({int(TRootKey::HKEY_LOCAL_MACHINE), key});
        values[{int(TRootKey::HKEY_LOCAL_MACHINE), key, name}] = {type, text};
    }
    QString get(const QString &name) const
    {
        const auto it = values.find(
            {int(TRootKey::HKEY_LOCAL_MACHINE), QStringLiteral("Software\\Cinaxo\\Configuration"), name});
        return it == values.end() ? QStringLiteral("<none>") : it->second.data.toString();
    }

    static QString norm(QString key)
    {
        while (key.endsWith(QLatin1Char('\\')))
            key.chop(1);
        return key;
    }
    std::set<std::pair<int, QString>> keys;
    std::map<std::tuple<int, QString, QString>, RegValue> values;
    std::vector<QString> reads, writes;
    bool refuseKeys = false;
    // How many more writes succeed; -1 for all.
    int writesLeft = -1;
};

class FakeShell : public IShell
{
public:
    FakeShell() { SetShell(this); }
    ~FakeShell() override { SetShell(nullptr); }
    bool StartProgram(const QString &program, const QString &parameters) override
    {
        started.push_back({program, parameters});
        return !startFails;
    }
    bool OpenAddress(const QString &address) override
    {
        opened.push_back(address);
        return true;
    }
    struct Start
    {
        QString program, parameters;
    };
    std::vector<Start> started;
    std::vector<QString> opened;
    // The next starts fail, as for a program that is gone or cannot be run.
    bool startFails = false;
};

// Runs `action` on the next modal window as soon as it is shown, and sees that window go. A window
// that does not come within the deadline fails the test; one that does not go is closed with a
// failure, so that a test never hangs on a modal window and no waiting outlives its test.
inline void whenModal(std::function<void(QWidget *)> action, int deadlineMs = 5000)
{
    // Owned by the application, so that a timer whose deletion is still pending when the last test
    // ends goes with it.
    auto *timer = new QTimer(qApp);
    timer->setInterval(5);
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    auto handled = std::make_shared<QPointer<QWidget>>();
    auto acted = std::make_shared<bool>(false);
    QObject::connect(timer, &QTimer::timeout, [timer, action, clock, handled, acted, deadlineMs] {
        auto finish = [timer] {
            timer->stop();
            timer->deleteLater();
        };
        if (!*acted) {
            if (QWidget *modal = QApplication::activeModalWidget()) {
                *acted = true;
                *handled = modal;
                clock->restart();
                action(modal);
            } else if (clock->elapsed() > deadlineMs) {
                finish();
                ADD_FAILURE() << "no modal window came within " << deadlineMs << " ms";
            }
            return;
        }
        QWidget *modal = handled->data();
        if (!modal || !modal->isVisible()) {
            finish();
        } else if (clock->elapsed() > deadlineMs) {
            finish();
            ADD_FAILURE() << "the modal window " << modal->metaObject()->className() << " stayed open";
            modal->close();
        }
    });
    timer->start();
}
