#include "singleinstance.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <future>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

class tst_SingleInstance : public QObject
{
    Q_OBJECT
private slots:
    // The first copy makes the configuration folder, reached here through a link; a later copy,
    // finding the folder, must still reach the first.
    void handOverThroughALinkedFolder()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(u"real"_s));
        QVERIFY(QFile::link(dir.filePath(u"real"_s), dir.filePath(u"link"_s)));
        const QString path = dir.filePath(u"link/config/Tallyfox Prefs"_s);
        SingleInstance first(path);
        QSignalSpy raised(&first, &SingleInstance::activationRequested);
        QVERIFY(first.claim());
        SingleInstance second(path);
        QVERIFY(!second.claim());
        // The first copy answers from this thread's event loop.
        auto answered = std::async(std::launch::async, [&second] { return second.handOver(); });
        QTRY_VERIFY(answered.wait_for(0s) == std::future_status::ready);
        QVERIFY(answered.get());
        QCOMPARE(raised.count(), 1);
    }
};

QTEST_GUILESS_MAIN(tst_SingleInstance)
#include "tst_singleinstance.moc"
