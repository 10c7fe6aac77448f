// The worker's observer: log lines pass one by one, progress positions of
// the whole run are thinned, and the last position before a line arrives.
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
    constexpr uint64_t kTotal = 4'000'000'000;  // more than an int holds
    observer.OnRunStarted({kTotal, 31});
    observer.OnLayerStarted({"Doro_Doro_Arc", "道路線アークを変換します。"});
    observer.OnInputFileStarted({"Doro_Doro_Arc", "13101", "13101/road/roadntwk.arc"});
    for (uint64_t done = 0; done <= kTotal / 2; done += 2000) observer.OnProgress({done, kTotal});
    observer.OnInputFileStarted({"Doro_Doro_Arc", "13102", "13102/road/roadntwk.arc"});
    observer.OnProgress({kTotal, kTotal});
    observer.Flush();  // the end of the run
    const qint64 ms = clock.elapsed();

    // At most one progress signal per interval, plus the final ones.
    QVERIFY2(progress_signals <= ms / TConversionWorker::kProgressIntervalMs + 3,
             qPrintable(QString("%1 signals in %2 ms").arg(progress_signals).arg(ms)));
    // The order, and the last position before a log line and at the end.
    const int second_log = events.indexOf("log 13102/road/roadntwk.arc --> Doro_Doro_Arc.mif");
    QVERIFY(second_log > 0);
    QCOMPARE(events[0], QString("range 1000"));
    QCOMPARE(events[1], QString("log 道路線アークを変換します。"));
    QCOMPARE(events[2], QString("log 13101/road/roadntwk.arc --> Doro_Doro_Arc.mif"));
    QCOMPARE(events[second_log - 1], QString("pos 500"));
    QCOMPARE(events.last(), QString("pos 1000"));
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
