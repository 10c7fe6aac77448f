// Stopping a run from the window (Esc, "変換を中止", closing the window) on a
// generated data set of two areas. The worker thread is held at a chosen log
// line until the test has asked for the stop, so the stop always comes in the
// same place of the run: while the block polygon layer converts its first
// area, with the layers before it finished.
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QtTest>
#include <atomic>

#include "conversion_runner.hpp"
#include "core/conversion/run.hpp"
#include "folder_list.hpp"
#include "generator.hpp"
#include "gui_test_support.hpp"
#include "main_window.hpp"

using namespace pelmora::gui;
using pelmora::gui::test::RecordingBoxes;

namespace {

// The log line (of the first area) at which every stop is asked for.
const QString kStopMarker = QStringLiteral(" --> Gaiku_Gaiku_Pgn.mif");
// The layers before it in table order: these finish, the rest leave nothing.
const QStringList kFinishedLayers = {"Doro_Doro_Arc",
                                     "Gyousei_Todofuken_Arc",
                                     "Gyousei_GunshiKukai_Arc",
                                     "Gyousei_ChosonShiteitoshi_Arc",
                                     "Gyousei_Shikuchoson_Pgn",
                                     "Gyousei_OhazaChochomoku_Arc",
                                     "Gyousei_OhazaChochomoku_Pgn",
                                     "Gaiku_Gaiku_Arc"};

// Holds the conversion thread inside the first log line that contains marker
// until Release (the window's run tap; the window is gone before the gate).
class RunGate : public pelmora::window::TRunEvents {
 public:
  RunGate(TfrmMain& window, const QString& marker) : window_(window), marker_(marker) {
    window_.SetRunTap(this);
  }
  void OnRunLog(const std::string& line, bool) override {
    if (reached_ || !QString::fromStdString(line).contains(marker_)) return;
    reached_ = true;
    open_.acquire();
  }
  void OnRunProgressRange(int) override {}
  void OnRunProgress(int) override {}
  void OnRunEnded(const pelmora::window::RunEnd&) override {}
  bool WaitReached() {
    return QTest::qWaitFor([this] { return reached_.load(); }, 120'000);
  }
  void Release() {
    if (!released_) open_.release();
    released_ = true;
  }

 private:
  TfrmMain& window_;
  const QString marker_;
  std::atomic<bool> reached_{false};
  bool released_ = false;
  QSemaphore open_;
};

// The stop request of the command line's Ctrl-C, raised by the same log line.
struct StopAtLine : pelmora::LogLineObserver {
  QString marker;
  bool stop = false;
  void OnLog(std::string_view line) override {
    stop = stop || (!marker.isEmpty() &&
                    QString::fromUtf8(line.data(), qsizetype(line.size())).contains(marker));
  }
  bool StopRequested() override { return stop; }
};

QByteArray ReadAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList Files(const QString& dir) {
  return QDir(dir).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

}  // namespace

class RunStopTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  QString data_;
  QString stopped_reference_;  // what a stopped run of the engine leaves
  std::unique_ptr<TfrmMain> w_;
  std::unique_ptr<RunGate> gate_;
  RecordingBoxes boxes_;

  TfrmMain& W() { return *w_; }

  QString Make(const QString& name) {
    const QString path = dir_.filePath(name);
    QDir(path).removeRecursively();
    QDir().mkpath(path);
    return path;
  }

  pelmora::ConversionSettings Settings(const QString& out) {
    pelmora::ConversionSettings settings;
    settings.map_folders = {QFile::encodeName(data_).toStdString()};
    settings.output_folder = QFile::encodeName(out + "/").toStdString();
    settings.groups.fill(true);
    return settings;
  }

  // Fills the window for a run of every group into out, with the gate armed.
  void PrepareRun(const QString& out) {
    W().ListBox1->addItem(data_);
    // The chooser followed the data's zone; the reference runs take entry 0.
    W().ComboBox1->setCurrentIndex(0);
    W().Edit1->setText(out + "/");
    W().Button5->click();
    gate_ = std::make_unique<RunGate>(W(), kStopMarker);
  }

 private slots:
  void initTestCase() {
    QStandardPaths::setTestModeEnabled(true);
    data_ = dir_.filePath("mapdata");
    pelmora::gen::GenOptions options;
    options.out = data_.toStdString();
    options.areas = 2;
    options.size_mb = 40;
    pelmora::gen::GenerateMapData(options);

    // The whole run, and the run stopped at the marker as the command line
    // stops on Ctrl-C.
    const QString full = Make("full");
    StopAtLine no_stop;
    QElapsedTimer clock;
    clock.start();
    pelmora::RunConversion(Settings(full), no_stop);
    qInfo("a whole run of the generated data takes %lld ms", clock.elapsed());
    stopped_reference_ = Make("stopped-reference");
    StopAtLine at_marker;
    at_marker.marker = kStopMarker;
    QVERIFY_THROWS_EXCEPTION(pelmora::ConversionCancelled,
                             pelmora::RunConversion(Settings(stopped_reference_), at_marker));
    // The layers before the stopped one are complete, the stopped one has
    // left nothing (no partial pair, no temporary file), later ones neither.
    QStringList expected;
    for (const QString& layer : kFinishedLayers) expected << layer + ".mid" << layer + ".mif";
    expected.sort();
    QCOMPARE(Files(stopped_reference_), expected);
    for (const QString& name : expected) {
      QCOMPARE(ReadAll(stopped_reference_ + "/" + name), ReadAll(full + "/" + name));
    }
    QCOMPARE(Files(full).size(), 62);
  }

  void init() { QVERIFY(OpenTestWindow(w_, dir_.filePath("placement.INI"), boxes_)); }

  void cleanup() {
    if (gate_) gate_->Release();
    w_.reset();  // waits for the conversion thread
    gate_.reset();
  }

  void stopLeavesWhatCtrlCLeaves_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("Esc") << "Esc";
    QTest::newRow("menu item") << "menu";
  }

  void stopLeavesWhatCtrlCLeaves() {
    QFETCH(QString, how);
    const QString out = Make("out-" + how);
    PrepareRun(out);
    W().Button7->setFocus();
    W().Button7->click();
    QVERIFY(gate_->WaitReached());
    QVERIFY(W().IsConverting());
    QVERIFY(W().S1->isEnabled());
    // The stopped layer has begun its pair under temporary names.
    QCOMPARE(Files(out).size(), 2 * kFinishedLayers.size() + 2);
    if (how == "Esc") {
      QWidget* focus = QApplication::focusWidget();
      QTest::keyClick(focus ? focus : w_.get(), Qt::Key_Escape);
    } else {
      QVERIFY(W().F1->actions().contains(W().S1));
      W().S1->trigger();
    }
    gate_->Release();
    W().WaitForConversion();

    // The files of a stopped command line, no box, the stop in the log.
    QCOMPARE(Files(out), Files(stopped_reference_));
    for (const QString& name : Files(out)) {
      QCOMPARE(ReadAll(out + "/" + name), ReadAll(stopped_reference_ + "/" + name));
    }
    QVERIFY(boxes_.boxes.isEmpty());
    const QStringList log = W().Memo1->toPlainText().split('\n');
    QCOMPARE(log.last(), QString("変換を中止しました。"));
    QVERIFY(log.filter(kStopMarker).size() == 1);
    QCOMPARE(W().ProgressBar1->value(), 0);
    QVERIFY(!QApplication::overrideCursor());

    // The window takes input again: typing, the buttons, another run.
    QVERIFY(!W().S1->isEnabled());
    QCOMPARE(W().focusWidget(), W().Button7);
    W().Edit1->clear();
    QTest::keyClicks(W().Edit1, out + "/");
    QCOMPARE(W().Edit1->text(), out + "/");
    W().Button6->click();
    W().CheckBox[8]->click();
    QVERIFY(W().CheckBox[8]->isChecked());
    W().ComboBox1->setCurrentIndex(8);  // the sample's zone: no warning
    W().Button7->click();
    W().WaitForConversion();
    QCOMPARE(boxes_.boxes.size(), 1);
    QCOMPARE(boxes_.boxes[0].text, QString("変換が終了しました。"));
    QVERIFY(Files(out).contains("Zukaku_Pgn.mif"));
  }

  void closingDuringARunAsksAndStops() {
    const QString out = Make("out-close");
    PrepareRun(out);
    W().Button7->click();
    QVERIFY(gate_->WaitReached());
    boxes_.answer = true;  // "はい": stop and close
    W().X1->trigger();
    QVERIFY(W().isVisible());  // not before the run has ended
    QCOMPARE(boxes_.boxes.size(), 1);
    QCOMPARE(boxes_.boxes[0].kind, MessageKind::kQuestion);
    QCOMPARE(boxes_.boxes[0].caption, QString("確認"));
    QCOMPARE(boxes_.boxes[0].text, QString("変換中です。変換を中止して終了しますか？"));
    gate_->Release();
    W().WaitForConversion();
    QVERIFY(!W().isVisible());
    QCOMPARE(boxes_.boxes.size(), 1);  // no box for the stop itself
    QCOMPARE(Files(out), Files(stopped_reference_));
    QVERIFY(QFile::exists(dir_.filePath("placement.INI")));  // closed as usual
  }

  void escWithoutARunDoesNothing() {
    W().Memo1->setPlainText("earlier log");
    W().Edit1->setFocus();
    QTest::keyClick(W().Edit1, Qt::Key_Escape);
    QCOMPARE(W().Memo1->toPlainText(), QString("earlier log"));
    QVERIFY(boxes_.boxes.isEmpty());
    QVERIFY(W().isVisible());
  }
};

QTEST_MAIN(RunStopTest)
#include "run_stop_test.moc"
