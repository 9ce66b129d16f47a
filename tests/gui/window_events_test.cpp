#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QRadioButton>
#include <algorithm>

#include "app/control_table.h"
#include "app/qt/control_looks.h"
#include "app/qt/control_widgets.h"
#include "gui_fixture.h"
#include "platform/native_names.h"
#include "text/system_texts.h"

namespace pw::test {
namespace {

using WindowEvents = GuiTest;

void postClick(QAbstractButton* button) {
    QMetaObject::invokeMethod(button, &QAbstractButton::click, Qt::QueuedConnection);
}

TEST_F(WindowEvents, ClicksRederiveTheOptionStates) {
    Form& form = program.form;
    // As the window opens.
    EXPECT_TRUE(form.enabled(ctl::kPartCount));
    for (std::string_view name :
         {ctl::kPartSize, ctl::kPartSizeUnit, ctl::kLinesLow, ctl::kCharsLow, ctl::kDelimiterButton,
          ctl::kJoinText, ctl::kJoinFilePath, ctl::kChooseJoinFile, ctl::kJoinWithFile,
          ctl::kJoinWithText})
        EXPECT_FALSE(form.enabled(name)) << name;
    EXPECT_FALSE(form.visible(ctl::kDetectEncoding));

    widget<QRadioButton>(ctl::kByLines)->click();
    EXPECT_TRUE(form.visible(ctl::kDetectEncoding));
    EXPECT_TRUE(form.visible(ctl::kFixLineBreaks));
    EXPECT_FALSE(form.enabled(ctl::kFixLineBreaks));
    EXPECT_TRUE(form.enabled(ctl::kLinesHigh));
    EXPECT_FALSE(form.enabled(ctl::kPartCount));
    widget<QCheckBox>(ctl::kDetectEncoding)->click();
    EXPECT_TRUE(form.enabled(ctl::kFixLineBreaks));
    widget<QRadioButton>(ctl::kByDelimiter)->click();
    EXPECT_FALSE(form.visible(ctl::kDetectEncoding));
    EXPECT_TRUE(form.checked(ctl::kDetectEncoding));
    EXPECT_TRUE(form.enabled(ctl::kDelimiterButton));

    widget<QCheckBox>(ctl::kJoinWithData)->click();
    EXPECT_TRUE(form.enabled(ctl::kJoinWithFile));
    EXPECT_TRUE(form.enabled(ctl::kJoinText));
    EXPECT_FALSE(form.enabled(ctl::kJoinFilePath));
    widget<QRadioButton>(ctl::kJoinWithFile)->click();
    EXPECT_FALSE(form.enabled(ctl::kJoinText));
    EXPECT_TRUE(form.enabled(ctl::kJoinFilePath));
    EXPECT_TRUE(form.enabled(ctl::kChooseJoinFile));
}

TEST_F(WindowEvents, SplitStartedByAClickAsksAndOpensTheFolder) {
    writeFile(dir.path("书.txt"), "0123456789");
    program.form.setText(ctl::kPartCount, "2");
    std::string captionAtChooser, captionAtQuestion;
    shell.onRequest = [&](const ScriptedShell::Request&) {
        captionAtChooser = text(ctl::kSplitButton);
    };
    shell.fileAnswers.push_back({fromUtf8(dir.path("书.txt"))});
    boxes.onMessage = [&](const MessageQueue::Message&) {
        captionAtQuestion = text(ctl::kSplitButton);
    };
    boxes.answers = {Answer::Yes};
    widget<QAbstractButton>(ctl::kSplitButton)->click();

    EXPECT_EQ(captionAtChooser, texts::kSplitRunning);
    ASSERT_EQ(shell.requests.size(), 1u);
    EXPECT_EQ(toUtf8(shell.requests[0].title), texts::kChooseSplitFilesTitle);
    EXPECT_EQ(readFile(dir.path("书/书_1.txt")), "01234");
    EXPECT_EQ(text(ctl::kProgressText), "[2] (1/1)书.txt");
    ASSERT_EQ(boxes.messages.size(), 1u);
    EXPECT_EQ(toUtf8(boxes.messages[0].text),
              std::string(texts::kSplitDoneOpenFolder) + dir.path("书"));
    EXPECT_EQ(boxes.messages[0].buttons, Buttons::YesNo);
    EXPECT_EQ(captionAtQuestion, texts::kSplitIdle);
    EXPECT_EQ(text(ctl::kSplitButton), texts::kSplitIdle);
    ASSERT_EQ(shell.opened.size(), 1u);
    EXPECT_EQ(toUtf8(shell.opened[0].path), dir.path("书"));
    EXPECT_TRUE(shell.opened[0].newWindow && shell.opened[0].asFolder);
}

TEST_F(WindowEvents, SecondClickInsideTheJobStopsIt) {
    writeFile(dir.path("a.txt"), std::string(400, 'a'));
    writeFile(dir.path("b.txt"), std::string(400, 'b'));
    auto* button = widget<QAbstractButton>(ctl::kSplitButton);
    std::string captionAfterStop;
    shell.onRequest = [&](const ScriptedShell::Request&) {
        // Waits in the queue until the job lets events run.
        postClick(button);
        QMetaObject::invokeMethod(
            &program.window, [&] { captionAfterStop = text(ctl::kSplitButton); },
            Qt::QueuedConnection);
    };
    shell.fileAnswers.push_back({fromUtf8(dir.path("a.txt")), fromUtf8(dir.path("b.txt"))});
    button->click();

    EXPECT_EQ(captionAfterStop, texts::kSplitStopping);
    EXPECT_EQ(shell.requests.size(), 1u);
    EXPECT_FALSE(fileExists(dir.path("b")));
    EXPECT_FALSE(fileExists(dir.path("a/a_100.txt")));
    EXPECT_EQ(text(ctl::kSplitButton), texts::kSplitIdle);
    EXPECT_EQ(boxes.messages.size(), 1u);  // asked although stopped
    EXPECT_TRUE(shell.opened.empty());     // answered No
}

// Records the caption of a button every time it is painted.
class PaintedCaptions : public QObject {
  public:
    explicit PaintedCaptions(QAbstractButton* button) { button->installEventFilter(this); }
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::Paint) {
            const std::string caption = static_cast<QAbstractButton*>(o)->text().toStdString();
            if (seen.empty() || seen.back() != caption) seen.push_back(caption);
        }
        return false;
    }
    std::vector<std::string> seen;
};

TEST_F(WindowEvents, LineSplitShowsItsStagesOnTheButton) {
    writeFile(dir.path("u.txt"), "第一行\r第二行\n");
    program.window.show();
    widget<QRadioButton>(ctl::kByLines)->click();
    widget<QCheckBox>(ctl::kDetectEncoding)->click();
    widget<QCheckBox>(ctl::kFixLineBreaks)->click();
    program.form.setText(ctl::kLinesLow, "1");
    program.form.setText(ctl::kLinesHigh, "1");
    auto* button = widget<QAbstractButton>(ctl::kSplitButton);
    PaintedCaptions captions(button);
    shell.fileAnswers.push_back({fromUtf8(dir.path("u.txt"))});
    button->click();

    const std::vector<std::string> stages = {"读入文件..", "矫正换行..", "写到内存..",
                                             "开始分割.."};
    auto at = std::search(captions.seen.begin(), captions.seen.end(), stages.begin(), stages.end());
    EXPECT_NE(at, captions.seen.end()) << testing::PrintToString(captions.seen);
    EXPECT_EQ(captions.seen.back(), texts::kSplitIdle);
    EXPECT_EQ(readFile(dir.path("u/u_2.txt")), "\xEF\xBB\xBF第二行");
}

TEST_F(WindowEvents, ClosingDuringAJobStopsItThenCloses) {
    writeFile(dir.path("a.txt"), std::string(400, 'a'));
    writeFile(dir.path("b.txt"), std::string(400, 'b'));
    program.window.show();
    shell.onRequest = [&](const ScriptedShell::Request&) {
        QMetaObject::invokeMethod(&program.window, &QWidget::close, Qt::QueuedConnection);
    };
    shell.fileAnswers.push_back({fromUtf8(dir.path("a.txt")), fromUtf8(dir.path("b.txt"))});
    widget<QAbstractButton>(ctl::kSplitButton)->click();

    EXPECT_FALSE(fileExists(dir.path("b")));
    EXPECT_TRUE(boxes.messages.empty());
    EXPECT_FALSE(program.window.isVisible());
    EXPECT_EQ(program.state.jobsRunning, 0);
}

TEST_F(WindowEvents, BannerOpensTheHomepage) {
    emit widget<PictureControl>(ctl::kLogo)->clicked();
    emit widget<PictureControl>(ctl::kHomepagePicture)->clicked();
    emit widget<LinkLabel>(ctl::kHomepageLink)->pressed();
    ASSERT_EQ(shell.opened.size(), 3u);
    for (const auto& o : shell.opened) {
        EXPECT_TRUE(o.isAddress);
        EXPECT_EQ(toUtf8(o.path), texts::kHomepageAddress);
    }
    // This program has no settings file, so nothing may claim the settings were saved.
    emit widget<PictureControl>(ctl::kSaveSettingsPicture)->clicked();
    emit widget<LinkLabel>(ctl::kSaveSettingsLink)->pressed();
    ASSERT_EQ(boxes.messages.size(), 2u);
    for (const auto& m : boxes.messages) EXPECT_EQ(toUtf8(m.text), texts::kSettingsNotSaved);
}

class SteppedClock : public Clock {
  public:
    uint64_t tickMs() override { return now; }
    uint64_t now = 1000;
};

TEST(QtFormEvents, PendingEventsArePumpedAtMostEvery15Ms) {
    MainWindow window(mainWindowSpec());
    SteppedClock clock;
    QtForm form(window, clock);
    int ran = 0;
    auto post = [&] {
        QMetaObject::invokeMethod(
            &window, [&] { ++ran; }, Qt::QueuedConnection);
    };

    post();
    form.processEvents();
    EXPECT_EQ(ran, 1);
    post();
    clock.now += 14;
    form.processEvents();
    EXPECT_EQ(ran, 1);
    clock.now += 1;
    form.processEvents();
    EXPECT_EQ(ran, 2);
    EXPECT_EQ(form.pumps(), 2);
}

TEST(QtShellFilters, WindowsFiltersBecomeQtNameFilters) {
    EXPECT_EQ(qtNameFilter(QString::fromUtf8(
                  "TXT文档(*.txt)|*.txt|HTML文档(*.htm;*.html)|*.htm;*.html|所有文件(*.*)|*.*")),
              QString::fromUtf8("TXT文档 (*.txt);;HTML文档 (*.htm *.html);;所有文件 (*)"));
    EXPECT_EQ(qtNameFilter(QString::fromUtf8("全部文件(*.*)|*.*")),
              QString::fromUtf8("全部文件 (*)"));
}

TEST(QtPaths, NamesThatAreNotUtf8ComeBackFromQtUnchanged) {
    for (const std::string native : {"/tmp/bad\xFF.txt", "/tmp/\xC4\xE3 x", "/tmp/中文 a%b.txt"}) {
        const Text path = fromNativeName(native);
        EXPECT_EQ(fromQtPath(qtPath(path)), path);
        const QUrl url = qtFileUrl(path);
        EXPECT_EQ(fromQtUrl(url), path) << url.toString().toStdString();
        // A drop carries the address as text; it names the same bytes.
        EXPECT_EQ(fromQtUrl(QUrl(url.toString(QUrl::FullyEncoded))), path);
    }
}

}  // namespace
}  // namespace pw::test
