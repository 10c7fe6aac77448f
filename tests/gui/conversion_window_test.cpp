// The conversion run as the user sees it: a full conversion of the sample data from the
// window, on the worker thread, with its log, progress, cursor and boxes.
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDirIterator>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QtTest>
#include <filesystem>

#include "conversion_runner.hpp"
#include "core/conversion/run.hpp"
#include "core/mif/coordsys.hpp"
#include "core/output/output_folder_lock.hpp"
#include "folder_list.hpp"
#include "gui_test_support.hpp"
#include "main_window.hpp"

using namespace pelmora::gui;
using pelmora::gui::test::AnswerPicker;
using pelmora::gui::test::RecordingBoxes;

namespace {

// What a run reports, as the core gives it.
struct Recorded : pelmora::LogLineObserver {
  QStringList log;
  int last_position = -1;  // of the window's progress bar, for the last report
  void OnLog(std::string_view line) override {
    log << QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size()));
  }
  // The window shows warnings in its log, where they came.
  void OnWarning(const pelmora::Warning& event) override { OnLog(pelmora::LogLine(event)); }
  void OnProgress(const pelmora::RunProgress& event) override {
    last_position = pelmora::window::ProgressPosition(event);
  }
};

QByteArray ReadAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList Files(const QString& dir) {
  QStringList names = QDir(dir).entryList(QDir::Files, QDir::Name);
  return names;
}

// Leaves out the last line of an attribute file, so that its record meets
// no attribute line (the bundled sample holds all of them); returns that
// record's individual number.
QString DropLastAttributeLine(const QString& path) {
  QByteArray text = ReadAll(path);
  qsizetype start = text.lastIndexOf("\r\n", text.size() - 3) + 2;
  QList<QByteArray> fields = text.mid(start).split(',');
  QFile file(path);
  if (fields.size() < 2 || !file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return {};
  file.write(text.left(start));
  return QString::fromLatin1(fields[1]);
}

// A copy of the sample whose first area misses the attribute lines of its
// last road and last block.
QString SampleWithGaps(const QString& sample, const QString& copy) {
  namespace fs = std::filesystem;
  fs::copy(fs::path(sample.toStdString()), fs::path(copy.toStdString()),
           fs::copy_options::recursive | fs::copy_options::overwrite_existing);
  DropLastAttributeLine(copy + "/13101/road/road.atr");
  DropLastAttributeLine(copy + "/13101/gaiku/gaiku.atr");
  return copy;
}

}  // namespace

class ConversionWindowTest : public pelmora::gui::test::WindowTest {
  Q_OBJECT

 private:
  // The window's log pane, line by line.
  QStringList MemoLines() {
    QString text = W().Memo1->toPlainText();
    return text.isEmpty() ? QStringList() : text.split('\n');
  }

  // Runs the core directly with the window's settings into another folder.
  Recorded DirectRun(pelmora::ConversionSettings settings, const QString& out) {
    settings.output_folder = QFile::encodeName(out).toStdString();
    Recorded recorded;
    pelmora::RunConversion(settings, recorded);
    return recorded;
  }

 private slots:
  void initTestCase() {
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY2(QFileInfo(sample_).isDir(), qPrintable("no sample data in " + sample_));
    QVERIFY(!QDir(sample_).entryList(QDir::Dirs | QDir::NoDotAndDotDot).isEmpty());
  }

  void init() { QVERIFY(OpenTestWindow(w_, dir_.filePath("placement.INI"), boxes_)); }

  void cleanup() { w_.reset(); }

  void fullConversion() {
    const QString out = Make("out-window");
    // Register the sample folder through the picker, as a user does; in this
    // copy, records without attribute lines give warnings.
    const QString data = SampleWithGaps(sample_, Make("sample-with-gaps"));
    AnswerPicker(W().FolderBrowseDialog1, data);
    W().Button1->click();
    QCOMPARE(W().ListBox1->Paths(), QStringList({QDir::cleanPath(data)}));
    QApplication::setActiveWindow(w_.get());
    QVERIFY(QTest::qWaitForWindowActive(w_.get()));
    W().ComboBox1->setCurrentIndex(8);
    W().Edit1->setText(out);
    W().Button5->click();
    W().Memo1->setPlainText("the log of an earlier run");

    // What the user interface thread receives from the run, as the window
    // shows it.
    QList<QPair<int, int>> ranges;
    QStringList logged;
    bool appended_while_converting = true;
    connect(w_.get(), &TfrmMain::RunProgressRangeShown, this, [&](int maximum) {
      ranges.append({maximum, 0});
    });
    connect(w_.get(), &TfrmMain::RunProgressShown, this, [&](int position) {
      if (W().IsConverting()) ranges.last().second = position;  // not the reset at the end
    });
    QStringList warned;  // the warnings, which come apart from the other lines
    connect(w_.get(), &TfrmMain::RunLogShown, this, [&](const QString& line, bool warning) {
      logged << line;
      if (warning) {
        warned << line;
      } else {
        appended_while_converting = appended_while_converting && W().IsConverting();
      }
    });
    int bar_at_end_box = -1;
    bool cursor_restored_at_end_box = false;
    bool enabled_at_end_box = false;
    boxes_.probe = [&] {
      bar_at_end_box = W().ProgressBar1->value();
      cursor_restored_at_end_box = QApplication::overrideCursor() == nullptr;
      enabled_at_end_box = W().Button7->isEnabled();
      return QString();
    };

    W().Button7->setFocus();
    W().Button7->click();
    // The run has started: the window takes no input, shows the wait cursor.
    QVERIFY(W().IsConverting());
    QCOMPARE(W().Edit1->text(), out + "/");       // trailing separator written back
    QVERIFY(W().Memo1->toPlainText().isEmpty());  // the log pane was cleared
    QVERIFY(QApplication::overrideCursor());
    QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    const QList<QWidget*> inputs = {W().ListBox1,  W().Button1, W().Button2, W().Button3,
                                    W().ComboBox1, W().Edit1,   W().Button4, W().GroupBox1,
                                    W().Button5,   W().Button6, W().Button7};
    for (QWidget* input : inputs) {
      QVERIFY2(!input->isEnabled(), qPrintable(input->objectName()));
    }
    QVERIFY(!W().H2->isEnabled() && !W().A1->isEnabled() && !W().K1->isEnabled());
    // The menus stay usable for stopping the run and for closing (which asks).
    QVERIFY(W().menuBar()->isEnabled() && W().S1->isEnabled() && W().X1->isEnabled());
    QVERIFY(W().Memo1->isReadOnly());
    QVERIFY(W().Memo1->isEnabled());  // the log stays readable
    QVERIFY(W().ProgressBar1->isEnabled());
    QVERIFY(!W().close());  // closing asks first; "いいえ" lets the run go on
    QCOMPARE(boxes_.boxes.size(), 1);
    QCOMPARE(boxes_.boxes[0].kind, MessageKind::kQuestion);
    QVERIFY(W().IsConverting());
    W().Button7Click();  // a second start is ignored
    W().WaitForConversion();

    // The end of the run.
    QVERIFY(!W().IsConverting());
    QCOMPARE(boxes_.boxes.size(), 2);
    QCOMPARE(boxes_.boxes[1].kind, MessageKind::kInformation);
    QCOMPARE(boxes_.boxes[1].caption, QString("情報"));
    // The copy has records without attribute lines: the box counts them.
    const qsizetype warnings = MemoLines().filter(QRegularExpression("^警告: ")).size();
    QVERIFY(warnings > 0);
    QCOMPARE(boxes_.boxes[1].text,
             QString("変換が終了しました。\n警告が %1 件ありました。").arg(warnings));
    QVERIFY(cursor_restored_at_end_box);
    QVERIFY(enabled_at_end_box);
    QCOMPARE(W().ProgressBar1->value(), 0);  // step 9, after the box
    QVERIFY(W().isVisible());
    QVERIFY(appended_while_converting);
    QVERIFY(!W().Memo1->isReadOnly());
    QVERIFY(W().Button7->isEnabled() && W().menuBar()->isEnabled() && W().H2->isEnabled());
    QVERIFY(!W().S1->isEnabled());
    QCOMPARE(W().focusWidget(), W().Button7);  // the focus is back where it was

    // The same run straight through the core, into another folder.
    const QString direct_out = Make("out-direct");
    pelmora::ConversionSettings settings = W().ReadSettings();
    QCOMPARE(settings.coordsys_index, 8);
    QCOMPARE(settings.jobs, 1);
    QCOMPARE(int(std::count(settings.groups.begin(), settings.groups.end(), true)), 9);
    const Recorded direct = DirectRun(settings, direct_out + "/");

    // The log pane holds exactly the run's log lines.
    QCOMPARE(MemoLines(), direct.log);
    QCOMPARE(logged, direct.log);
    QCOMPARE(warned, direct.log.filter(QRegularExpression("^警告: ")));
    // Set apart in colour: the first warning's block is not drawn as the
    // first line is.
    QTextBlock block = W().Memo1->document()->findBlockByNumber(
        static_cast<int>(MemoLines().indexOf(warned.first())));
    QVERIFY(block.isValid());
    QCOMPARE(block.begin().fragment().charFormat().foreground().color(), QColor(176, 80, 0));
    QVERIFY(W().Memo1->document()->firstBlock().begin().fragment().charFormat().foreground() !=
            block.begin().fragment().charFormat().foreground());
    // Only warning lines are coloured: a line after a warning is drawn as the
    // first line is.
    const int after_warning = static_cast<int>(MemoLines().lastIndexOf(warned.last())) + 1;
    QVERIFY(after_warning < MemoLines().size());
    QCOMPARE(W().Memo1->document()
                 ->findBlockByNumber(after_warning)
                 .begin()
                 .fragment()
                 .charFormat()
                 .foreground(),
             W().Memo1->document()->firstBlock().begin().fragment().charFormat().foreground());
    QCOMPARE(MemoLines().first(), QString("道路線アークを変換します。"));
    QVERIFY(MemoLines().filter(" --> ").size() > 0);
    QCOMPARE(MemoLines().filter("を変換します。").size(), 31);
    // The bar follows the whole run to its end.
    QCOMPARE(ranges.size(), 1);
    QCOMPARE(ranges[0].first, pelmora::window::kProgressMaximum);
    QCOMPARE(ranges[0].second, pelmora::window::kProgressMaximum);
    QCOMPARE(direct.last_position, pelmora::window::kProgressMaximum);
    QCOMPARE(bar_at_end_box, pelmora::window::kProgressMaximum);

    // 31 MIF/MID pairs, byte for byte what the core writes.
    const QStringList files = Files(out);
    QCOMPARE(files.size(), 62);
    QCOMPARE(files, Files(direct_out));
    for (const QString& name : files) {
      QCOMPARE(ReadAll(out + "/" + name), ReadAll(direct_out + "/" + name));
    }
    QVERIFY(files.contains("Doro_Doro_Arc.mif") && files.contains("Zukaku_Pgn.mid"));
    // The chosen coordinate system labels the MIF header.
    const QByteArray header = ReadAll(out + "/Doro_Doro_Arc.mif");
    const std::string_view clause = pelmora::CoordSysClause(8);
    QVERIFY(header.contains(QByteArray("CoordSys ") + QByteArray(clause.data(), clause.size())));
  }

  void onlyFrameLayer() {
    const QString out = Make("out-frame");
    W().ListBox1->addItem(sample_);
    W().Edit1->setText(out + "/");
    W().ComboBox1->setCurrentIndex(8);  // the sample's zone: no warning
    W().CheckBox[8]->setChecked(true);
    W().Button7->click();
    W().WaitForConversion();
    QCOMPARE(Files(out), QStringList({"Zukaku_Pgn.mid", "Zukaku_Pgn.mif"}));
    QCOMPARE(W().Edit1->text(), out + "/");  // left as it was
    QCOMPARE(MemoLines().first(), QString("図郭ポリゴンを変換します。"));
    QCOMPARE(boxes_.boxes.size(), 1);
    QCOMPARE(boxes_.boxes[0].text, QString("変換が終了しました。"));
  }

  void errorEndsTheRun() {
    // The frame layer cannot create its MIF file: a folder has its name. The
    // road layers before it are complete.
    const QString out = Make("out-error");
    QVERIFY(QDir().mkpath(out + "/Zukaku_Pgn.mif"));
    W().ListBox1->addItem(sample_);
    W().Edit1->setText(out);
    W().CheckBox[0]->setChecked(true);
    W().CheckBox[8]->setChecked(true);
    bool cursor_restored = false;
    int bar_at_box = -1;
    boxes_.probe = [&] {
      cursor_restored = QApplication::overrideCursor() == nullptr;
      bar_at_box = W().ProgressBar1->value();
      return QString();
    };
    W().Button7->click();
    W().WaitForConversion();
    QCOMPARE(boxes_.boxes.size(), 1);  // no end box
    QCOMPARE(boxes_.boxes[0].kind, MessageKind::kError);
    QCOMPARE(boxes_.boxes[0].caption, QString("Pelmorix Converter"));
    QVERIFY(cursor_restored);
    // The message is the core's, with the final "." rule.
    pelmora::ConversionSettings settings = W().ReadSettings();
    Recorded direct;
    QString expected;
    try {
      pelmora::RunConversion(settings, direct);
      QFAIL("the direct run did not fail");
    } catch (const pelmora::ConversionError& e) {
      expected = QString::fromStdString(pelmora::DescribeError(e));
    }
    QCOMPARE(boxes_.boxes[0].text, expected);
    QVERIFY(!expected.isEmpty());
    // The bar keeps its position while the error shows (the last one
    // reported before the error), then returns to 0.
    QCOMPARE(bar_at_box, direct.last_position);
    QVERIFY(bar_at_box > 0);
    QCOMPARE(W().ProgressBar1->value(), 0);
    QVERIFY(QFile::exists(out + "/Doro_Doro_Arc.mif"));
    QVERIFY(W().Button7->isEnabled());
  }

  // Another run holds the output folder: this one is refused before it
  // touches a file, with a warning naming the folder, and can run once the
  // other has let go.
  void busyOutputFolderIsRefused() {
    const QString out = Make("out-busy");
    QFile older(out + "/Zukaku_Pgn.mif");
    QVERIFY(older.open(QIODevice::WriteOnly));
    older.write("older");
    older.close();
    W().ListBox1->addItem(sample_);
    W().Edit1->setText(out);
    W().ComboBox1->setCurrentIndex(8);  // the sample's zone: no warning
    W().CheckBox[8]->setChecked(true);
    W().Memo1->setPlainText("the log of an earlier run");
    {
      pelmora::OutputFolderLock other_run;
      QVERIFY(other_run.TryLock(QFile::encodeName(out + "/").toStdString()));
      W().Button7->click();
      W().WaitForConversion();
      QVERIFY(!W().IsConverting());
      QCOMPARE(boxes_.boxes.size(), 1);
      QCOMPARE(boxes_.boxes[0].kind, MessageKind::kWarning);
      QCOMPARE(boxes_.boxes[0].caption, QString("警告"));
      QCOMPARE(boxes_.boxes[0].text,
               QString("MIFの出力先フォルダ「%1/」には別の変換が出力中です。").arg(out));
      QCOMPARE(QApplication::focusWidget(), W().Edit1);
      QCOMPARE(W().Edit1->text(), out + "/");
      QCOMPARE(ReadAll(out + "/Zukaku_Pgn.mif"), QByteArray("older"));
      QCOMPARE(Files(out), QStringList({"Zukaku_Pgn.mif"}));
      QVERIFY(!MemoLines().contains("図郭ポリゴンを変換します。"));
      QVERIFY(W().Button7->isEnabled());
      QVERIFY(!QApplication::overrideCursor());
    }
    W().Button7->click();
    W().WaitForConversion();
    QCOMPARE(boxes_.boxes.size(), 2);
    QCOMPARE(boxes_.boxes[1].text, QString("変換が終了しました。"));
    QCOMPARE(Files(out), QStringList({"Zukaku_Pgn.mid", "Zukaku_Pgn.mif"}));
  }

  void longLogLineCanBeReadAndCopied() {
    // An area folder with a long name gives a log line far wider than the pane.
    const QString area = QString("13101_") + QString(60, QChar(u'長'));
    const QString map = Make("long-map");
    QVERIFY(QDir().mkpath(map + "/" + area + "/road"));
    for (const char* name : {"road.atr", "roadntwk.arc"}) {
      QVERIFY(QFile::copy(sample_ + "/13101/road/" + name, map + "/" + area + "/road/" + name));
    }
    const QString unmatched = DropLastAttributeLine(map + "/" + area + "/road/road.atr");
    QVERIFY(!unmatched.isEmpty());
    const QString out = Make("out-long");
    W().ListBox1->addItem(map);
    W().Edit1->setText(out);
    W().CheckBox[0]->setChecked(true);
    W().Button7->click();
    W().WaitForConversion();
    const QString line = area + "/road/roadntwk.arc --> Doro_Doro_Arc.mif";
    // The road file has a record without attributes.
    QCOMPARE(MemoLines().mid(0, 2), QStringList({"道路線アークを変換します。", line}));
    QCOMPARE(MemoLines().size(), 3);
    QVERIFY2(MemoLines()[2].startsWith("警告: 個別番号 " + unmatched + " の属性が"),
             qPrintable(MemoLines()[2]));

    // The pane scrolls sideways far enough to show the line's end.
    QPlainTextEdit* memo = W().Memo1;
    QScrollBar* bar = memo->horizontalScrollBar();
    QTRY_VERIFY(bar->isVisible());  // laid out after the text came
    const int width = memo->fontMetrics().horizontalAdvance(line);
    QVERIFY2(
        bar->maximum() + memo->viewport()->width() >= width,
        qPrintable(
            QString("%1 + %2 < %3").arg(bar->maximum()).arg(memo->viewport()->width()).arg(width)));
    bar->setValue(bar->maximum());
    QVERIFY(memo->cursorRect(memo->textCursor()).isValid());

    // The whole text can be selected and copied with the keyboard.
    QApplication::clipboard()->clear();
    memo->setFocus();
    QTest::keyClick(memo, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(memo, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), memo->toPlainText());
    QVERIFY(QApplication::clipboard()->text().contains(line));
  }

  void closingTheWindowStopsNothingAbruptly() {
    // Destroying the window in the middle of a run stops the run between
    // records and waits for the thread: no crash, no hang.
    const QString out = Make("out-destroy");
    W().ListBox1->addItem(sample_);
    W().Edit1->setText(out);
    W().Button5->click();
    W().Button7->click();
    QVERIFY(W().IsConverting());
    w_.reset();
    QVERIFY(!QApplication::overrideCursor());
  }
};

QTEST_MAIN(ConversionWindowTest)
#include "conversion_window_test.moc"
