// The main() of every test executable. Each test process gets its own empty
// home and XDG folders, so no test reads or writes the real user's files, and
// runs on the offscreen platform unless a display platform was asked for.

#include <QApplication>
#include <QByteArray>
#include <QDir>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

namespace {

void isolateEnvironment(const QString &root)
{
    const char *folders[][2] = {
        {"HOME", "home"},
        {"XDG_RUNTIME_DIR", "runtime"},
        {"XDG_CONFIG_HOME", "config"},
        {"XDG_CACHE_HOME", "cache"},
        {"XDG_DATA_HOME", "data"},
    };
    for (const auto &folder : folders) {
        const QString path = root + QLatin1Char('/') + QLatin1String(folder[1]);
        QDir().mkpath(path);
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        qputenv(folder[0], QFile::encodeName(path));
    }
}

// A Qt warning is a fault that no assertion saw, such as a model reporting a
// change outside its rows: it fails the running test. The offscreen platform's
// own notices are no fault of the program.
void failOnQtWarnings(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    static const QStringList kPlatformNotices = {
        QStringLiteral("This plugin does not support"),
    };
    std::fprintf(stderr, "%s\n", qPrintable(message));
    if (type == QtDebugMsg || type == QtInfoMsg)
        return;
    for (const QString &notice : kPlatformNotices) {
        if (message.startsWith(notice))
            return;
    }
    ADD_FAILURE() << "Qt warning: " << message.toStdString();
}

// Each test gets a state folder of its own: journals of unsaved changes that
// one test leaves are no question to the next.
class FreshStateFolder : public ::testing::EmptyTestEventListener
{
public:
    explicit FreshStateFolder(QString root)
        : m_root(std::move(root))
    {
    }

    void OnTestStart(const ::testing::TestInfo &) override
    {
        const QString path = m_root + QStringLiteral("/state-%1").arg(++m_tests);
        QDir().mkpath(path);
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        qputenv("XDG_STATE_HOME", QFile::encodeName(path));
    }

private:
    QString m_root;
    int m_tests = 0;
};

} // namespace

int main(int argc, char **argv)
{
    // Test discovery runs this binary at build time without the test environment.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    QTemporaryDir root(QDir::tempPath() + QStringLiteral("/tarvik-test-XXXXXX"));
    if (!root.isValid())
        return 2;
    isolateEnvironment(root.path());

    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    qInstallMessageHandler(failOnQtWarnings);
    ::testing::UnitTest::GetInstance()->listeners().Append(new FreshStateFolder(root.path()));
    return RUN_ALL_TESTS();
}
