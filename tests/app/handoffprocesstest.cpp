// Two real starts of the built kivamo: the later one hands its arguments to the first and ends.
// The first instance reports start-up and each hand-off on its error output through the
// "kivamo.startup" logging category; the test waits on those lines and on process ends, never on time.
#include "app/handoff.h"
#include "support/gtestqt.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

constexpr int kTimeoutMs = 20000;

class HandOffProcesses : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        QDir(m_dir.path()).mkpath("home");
        QDir(m_dir.path()).mkpath("run");
        QFile::setPermissions(runtimeDir(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        m_environment = QProcessEnvironment::systemEnvironment();
        m_environment.insert("KIVAMO_HOME", m_dir.filePath("home"));
        m_environment.insert("XDG_RUNTIME_DIR", runtimeDir());
        m_environment.insert("QT_QPA_PLATFORM", "offscreen");
        m_environment.insert("QT_LOGGING_RULES", "kivamo.startup.info=true");
    }

    void TearDown() override
    {
        if (m_first.state() != QProcess::NotRunning) {
            m_first.terminate();
            m_first.waitForFinished(kTimeoutMs);
        }
    }

    QString runtimeDir() const { return m_dir.filePath("run"); }
    QString program() const { return QStringLiteral(KIVAMO_BIN_DIR "/kivamo"); }

    void startFirst()
    {
        m_first.setProcessEnvironment(m_environment);
        m_first.start(program(), {});
        ASSERT_TRUE(m_first.waitForStarted(kTimeoutMs));
        ASSERT_TRUE(waitForLine("kivamo.startup: ready"));
    }

    // Reads the first instance's error output until a line holds the text.
    bool waitForLine(const QString& text)
    {
        while (true) {
            while (m_first.canReadLine()) {
                const QString line = QString::fromUtf8(m_first.readLine()).trimmed();
                m_lines << line;
                if (line.contains(text))
                    return true;
            }
            if (!m_first.waitForReadyRead(kTimeoutMs))
                return false;
        }
    }

    int runLater(const QStringList& arguments, const QString& platform = QStringLiteral("offscreen"))
    {
        QProcess later;
        QProcessEnvironment environment = m_environment;
        environment.insert("QT_QPA_PLATFORM", platform);
        later.setProcessEnvironment(environment);
        later.setWorkingDirectory(m_dir.path());
        later.start(program(), arguments);
        EXPECT_TRUE(later.waitForFinished(kTimeoutMs));
        return later.exitStatus() == QProcess::NormalExit ? later.exitCode() : -1;
    }

    QTemporaryDir m_dir;
    QProcessEnvironment m_environment;
    QProcess m_first;
    QStringList m_lines;
};

}  // namespace

TEST_F(HandOffProcesses, LaterStartHandsOverItsJoinedArgumentsAndEnds)
{
    // A stale hand-off file of an instance that ended abnormally.
    ASSERT_TRUE(kivamo::writeHandOffArguments(kivamo::handOffFilePath(runtimeDir()), "999999", "old.swf ").ok());
    m_first.setProcessChannelMode(QProcess::SeparateChannels);
    m_first.setReadChannel(QProcess::StandardError);
    startFirst();
    const auto owner = kivamo::readHandOffFile(kivamo::handOffFilePath(runtimeDir()));
    ASSERT_TRUE(owner.has_value());
    EXPECT_EQ(owner->line1, QString::number(m_first.processId()));
    EXPECT_EQ(owner->line2, "");

    QFile(m_dir.filePath("My Movie.swf")).open(QIODevice::WriteOnly);
    EXPECT_EQ(runLater({"My", "Movie.swf"}), 0);
    ASSERT_TRUE(waitForLine("hand-off:"));
    EXPECT_EQ(m_lines.last(), QString("kivamo.startup: hand-off: \"%1 \"").arg(m_dir.filePath("My Movie.swf")));
    const auto written = kivamo::readHandOffFile(kivamo::handOffFilePath(runtimeDir()));
    ASSERT_TRUE(written.has_value());
    EXPECT_EQ(written->line1, owner->line1);

    EXPECT_EQ(runLater({}), 0);
    ASSERT_TRUE(waitForLine("hand-off:"));
    EXPECT_EQ(m_lines.last(), "kivamo.startup: hand-off: \"\"");
    EXPECT_EQ(m_first.state(), QProcess::Running);
}

TEST_F(HandOffProcesses, LaterStartWithoutAHandOffFileEndsSilently)
{
    m_first.setReadChannel(QProcess::StandardError);
    startFirst();
    ASSERT_TRUE(QFile::remove(kivamo::handOffFilePath(runtimeDir())));
    EXPECT_EQ(runLater({"a.swf"}), 0);
    EXPECT_FALSE(QFile::exists(kivamo::handOffFilePath(runtimeDir())));
    // The running instance took nothing: the next line it reports is the hand-off of a proper start.
    ASSERT_TRUE(kivamo::writeHandOffOwner(kivamo::handOffFilePath(runtimeDir()), m_first.processId()).ok());
    EXPECT_EQ(runLater({"b.swf"}), 0);
    ASSERT_TRUE(waitForLine("hand-off:"));
    EXPECT_EQ(m_lines.last(), "kivamo.startup: hand-off: \"b.swf \"");
}

TEST_F(HandOffProcesses, OwnerLineThatIsNotANumberSendsNothing)
{
    m_first.setReadChannel(QProcess::StandardError);
    startFirst();
    ASSERT_TRUE(kivamo::writeHandOffArguments(kivamo::handOffFilePath(runtimeDir()), "abc", "").ok());
    EXPECT_EQ(runLater({"c.swf"}), 0);
    const auto file = kivamo::readHandOffFile(kivamo::handOffFilePath(runtimeDir()));
    ASSERT_TRUE(file.has_value());
    EXPECT_EQ(file->line2, "");  // not rewritten
}

TEST_F(HandOffProcesses, LaterStartNeedsNoDisplay)
{
    m_first.setReadChannel(QProcess::StandardError);
    startFirst();
    EXPECT_EQ(runLater({"d.swf"}, "no-such-platform"), 0);
    ASSERT_TRUE(waitForLine("hand-off:"));
    EXPECT_EQ(m_lines.last(), "kivamo.startup: hand-off: \"d.swf \"");
}
