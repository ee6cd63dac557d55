#include "sync/OtherVersion.h"

#include "fileformat/TaskFileReader.h"
#include "support/TaskFileTesting.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QByteArray kHeader = "Status;Task;Added;Edited;User\r\n";

} // namespace

TEST(OtherVersion, EntriesAreMadeAgainFromTheLinesFingerprintedUnlessTheyChanged)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // Far more than one read block, in both the classic and the extended form.
    for (const bool extended : {false, true}) {
        QByteArray bytes = extended ? "\xEF\xBB\xBF" + kHeader : kHeader;
        for (int i = 0; i < 20000; ++i) {
            bytes += QByteArray::number(1 + i % 8) + ";task " + QByteArray::number(i) + (extended ? " \\;" : "")
                + " \xC3\xA9;d;e;u\r\n";
        }
        const QString path = dir.filePath(QStringLiteral("list.tvk"));
        writeBytes(path, bytes);
        TaskFileReader wholeReader;
        ASSERT_EQ(wholeReader.read(path).extent, LoadResult::Complete);

        TaskFileReader reader;
        reader.fingerprintOnly();
        ASSERT_EQ(reader.read(path).extent, LoadResult::Complete);
        const OtherVersion version = TakeVersion(reader);
        CategoryIndices places;
        places[0] = {0, 1, 2400};
        places[1] = {2499};
        places[4] = {7, 1000};
        CategoryRows rows;
        ASSERT_TRUE(version.entriesAt(places, rows));
        for (int category = 0; category < CategoryCount; ++category) {
            ASSERT_EQ(rows[category].size(), places[category].size());
            const TaskFileReader::Rows whole = wholeReader.takeRows(static_cast<Category>(category));
            for (size_t i = 0; i < rows[category].size(); ++i)
                EXPECT_EQ(itemOf(*rows[category][i]), itemOf(*whole[size_t(places[category][i])]));
        }

        // Written over in place with as many bytes: the line holds another entry now.
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        const qsizetype at = bytes.indexOf(";task 0 ");
        ASSERT_TRUE(file.seek(at) && file.write(";TASK 0 ") == 8);
        file.close();
        EXPECT_FALSE(version.entriesAt(places, rows));
    }
}
