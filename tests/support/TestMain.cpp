// The main() of every test executable. Each test process gets its own empty
// home and XDG folders, so no test reads or writes the real user's files, and
// runs on the offscreen platform unless a display platform was asked for.

#include <QApplication>
#include <QByteArray>
#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

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
    return RUN_ALL_TESTS();
}
