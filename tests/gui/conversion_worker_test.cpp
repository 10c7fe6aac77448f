// The worker's observer: log lines and ranges pass one by one, progress
// positions are thinned, and the last position of every file arrives.
#include "conversion_worker.hpp"

#include <QElapsedTimer>
#include <QtTest>

using namespace pelmora::gui;

class ConversionWorkerTest : public QObject {
  Q_OBJECT

 private slots:
  void thinsProgressButKeepsFinalPositions() {
    TConversionWorker worker;
    std::atomic<bool> stop{false};
    QStringList events;
    int progress_signals = 0;
    // Same thread: the signals arrive directly, in order.
    connect(&worker, &TConversionWorker::Log, this,
            [&](const QString& l) { events << "log " + l; });
    connect(&worker, &TConversionWorker::ProgressRange, this,
            [&](int m) { events << QString("range %1").arg(m); });
    connect(&worker, &TConversionWorker::Progress, this, [&](int p) {
      ++progress_signals;
      events << QString("pos %1").arg(p);
    });

    TWorkerObserver observer(worker, stop);
    QElapsedTimer clock;
    clock.start();
    observer.OnLog("道路線アークを変換します。");
    observer.OnLog("13101/road/roadntwk.arc --> Doro_Doro_Arc.mif");
    observer.OnProgressRange(2'000'000);
    for (int i = 0; i <= 2'000'000; ++i) observer.OnProgress(i);
    observer.OnLog("13102/road/roadntwk.arc --> Doro_Doro_Arc.mif");
    observer.OnProgressRange(10);
    for (int i = 0; i <= 7; ++i) observer.OnProgress(i);
    observer.Flush();  // the end of the run
    const qint64 ms = clock.elapsed();

    // At most one progress signal per interval, plus the final ones.
    QVERIFY2(progress_signals <= ms / TConversionWorker::kProgressIntervalMs + 3,
             qPrintable(QString("%1 signals in %2 ms").arg(progress_signals).arg(ms)));
    // The order and the final position of each file.
    const int second_log = events.indexOf("log 13102/road/roadntwk.arc --> Doro_Doro_Arc.mif");
    QVERIFY(second_log > 0);
    QCOMPARE(events[0], QString("log 道路線アークを変換します。"));
    QCOMPARE(events[2], QString("range 2000000"));
    QCOMPARE(events[second_log - 1], QString("pos 2000000"));
    QCOMPARE(events[second_log + 1], QString("range 10"));
    QCOMPARE(events.last(), QString("pos 7"));
  }

  void stopRequest() {
    TConversionWorker worker;
    std::atomic<bool> stop{false};
    TWorkerObserver observer(worker, stop);
    QVERIFY(!observer.StopRequested());
    stop = true;
    QVERIFY(observer.StopRequested());
  }
};

QTEST_MAIN(ConversionWorkerTest)
#include "conversion_worker_test.moc"
