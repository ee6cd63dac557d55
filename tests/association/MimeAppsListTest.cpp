#include "association/MimeAppsList.h"

#include "association/GioFileAssociations.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString kType = QStringLiteral("application/x-tarvik-document");
const QString kId = QStringLiteral("io.github.tarvik.Tarvik.desktop");

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

void write(const QString &path, const QByteArray &data)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(data);
}

class MimeAppsListTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_root.isValid()); }
    QString path(const QString &relative) const { return m_root.filePath(relative); }

private:
    QTemporaryDir m_root;
};

} // namespace

// The lines of every other type and group, and every comment and blank line,
// keep their bytes; only the type's own lines change, and a group it needs
// is added at the end.
TEST_F(MimeAppsListTest, ChangesOnlyTheTypesOwnLines)
{
    const QString list = path(QStringLiteral("mimeapps.list"));
    const QByteArray before = "# Kept by hand, do not sort\n"
                              "[Default Applications]\n"
                              "image/jpeg = eog.desktop\n"
                              "application/x-tarvik-document=other.desktop\n"
                              "\n"
                              "\t# added by the file manager\n"
                              "\n"
                              "\n"
                              "[Removed Associations]\n"
                              "application/x-tarvik-document = io.github.tarvik.Tarvik.desktop;broken.desktop;\n"
                              "text/html=  firefox.desktop;\r\n"
                              "[X-Notes]\n"
                              "Name=Defaults\n"
                              "Name[de]=Vorgaben";

    write(list, before);
    for (int run = 0; run < 2; ++run) {
        MimeAppsList defaults;
        ASSERT_TRUE(defaults.load(list).succeeded());
        defaults.setDefault(kType, kId);
        ASSERT_TRUE(defaults.save().succeeded());
    }

    EXPECT_EQ(contents(list).toStdString(),
              "# Kept by hand, do not sort\n"
              "[Default Applications]\n"
              "image/jpeg = eog.desktop\n"
              "application/x-tarvik-document=io.github.tarvik.Tarvik.desktop\n"
              "\n"
              "\t# added by the file manager\n"
              "\n"
              "\n"
              "[Removed Associations]\n"
              "application/x-tarvik-document=broken.desktop;\n"
              "text/html=  firefox.desktop;\r\n"
              "[X-Notes]\n"
              "Name=Defaults\n"
              "Name[de]=Vorgaben\n"
              "\n"
              "[Added Associations]\n"
              "application/x-tarvik-document=io.github.tarvik.Tarvik.desktop;\n");

    // Every line that is not the type's own is there as it was, in its order.
    const auto others = [](const QByteArray &text) {
        QList<QByteArray> lines;
        for (const QByteArray &line : text.split('\n')) {
            if (!line.startsWith("application/x-tarvik-document") && line != "[Added Associations]")
                lines.append(line);
        }
        while (!lines.isEmpty() && lines.last().isEmpty())
            lines.removeLast();
        return lines;
    };
    EXPECT_EQ(others(contents(list)), others(before));
}

TEST_F(MimeAppsListTest, TheLinesItAddsEndAsTheListsLinesDo)
{
    const QString list = path(QStringLiteral("mimeapps.list"));
    write(list, "[Default Applications]\r\ntext/plain=editor.desktop\r\n");
    MimeAppsList defaults;
    ASSERT_TRUE(defaults.load(list).succeeded());
    defaults.setDefault(kType, kId);
    ASSERT_TRUE(defaults.save().succeeded());
    EXPECT_EQ(contents(list).toStdString(),
              "[Default Applications]\r\n"
              "text/plain=editor.desktop\r\n"
              "application/x-tarvik-document=io.github.tarvik.Tarvik.desktop\r\n"
              "\r\n"
              "[Added Associations]\r\n"
              "application/x-tarvik-document=io.github.tarvik.Tarvik.desktop;\r\n");
}

TEST_F(MimeAppsListTest, AListThatCannotBeReadIsNeverWritten)
{
    const QString list = path(QStringLiteral("mimeapps.list"));
    const QByteArray unparsable = "[Default Applications]\ntext/plain=editor.desktop\nthis line is no key\n";
    write(list, unparsable);

    MimeAppsList defaults;
    const Result loaded = defaults.load(list);
    ASSERT_TRUE(loaded.failed());
    EXPECT_TRUE(loaded.reason().startsWith(list + QStringLiteral(" cannot be read, so it was left as it is: ")))
        << loaded.reason().toStdString();
    EXPECT_EQ(contents(list), unparsable);
}

TEST_F(MimeAppsListTest, ASymlinkedListIsWrittenThroughToItsTargetWithItsMode)
{
    ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("dotfiles"))));
    ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("config"))));
    const QString target = path(QStringLiteral("dotfiles/mimeapps.list"));
    const QString link = path(QStringLiteral("config/mimeapps.list"));
    write(target, "[Default Applications]\ntext/plain=editor.desktop\n");
    const QFile::Permissions mode =
        QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadUser | QFile::WriteUser;
    ASSERT_TRUE(QFile::setPermissions(target, mode));
    // A relative link, as dotfiles managers make them.
    ASSERT_TRUE(QFile::link(QStringLiteral("../dotfiles/mimeapps.list"), link));

    MimeAppsList defaults;
    ASSERT_TRUE(defaults.load(link).succeeded());
    defaults.setDefault(kType, kId);
    ASSERT_TRUE(defaults.save().succeeded());

    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(contents(target).toStdString(),
              "[Default Applications]\n"
              "text/plain=editor.desktop\n"
              "application/x-tarvik-document=io.github.tarvik.Tarvik.desktop\n"
              "\n"
              "[Added Associations]\n"
              "application/x-tarvik-document=io.github.tarvik.Tarvik.desktop;\n");
    EXPECT_EQ(QFileInfo(target).permissions(), mode);
    EXPECT_EQ(QDir(path(QStringLiteral("config"))).entryList(QDir::Files | QDir::System | QDir::Hidden),
              QStringList{QStringLiteral("mimeapps.list")});
}

TEST(GioFileAssociations, AProgramPathThatIsNotUtf8IsRefusedAndNamedReadably)
{
    const QByteArray executable("/opt/caf\xe9 tools/bin/tarvik");
    const Result result = GioFileAssociations(executable).AssociateFileType(QStringLiteral("tvk"));
    ASSERT_TRUE(result.failed());
    EXPECT_EQ(result.reason().toStdString(),
              "The desktop does not accept /opt/caf\\xE9 tools/bin/tarvik as a program that opens files: the name "
              "/opt/caf\\xE9 tools is not UTF-8 text, and desktop entries can only hold UTF-8.");
}
