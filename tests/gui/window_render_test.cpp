#include <QAbstractButton>
#include <QCheckBox>
#include <QGroupBox>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QRadioButton>
#include <QStyle>
#include <QTimer>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/control_table.h"
#include "app/qt/control_widgets.h"
#include "gui_fixture.h"
#include "text/system_texts.h"

namespace pw::test {
namespace {

// Room a caption has inside its control, after the check mark of check and radio boxes.
int captionRoom(QWidget* w) {
    int room = w->width();
    if (auto* b = qobject_cast<QAbstractButton*>(w); b && b->isCheckable()) {
        const bool radio = qobject_cast<QRadioButton*>(w);
        room -= w->style()->pixelMetric(radio ? QStyle::PM_ExclusiveIndicatorWidth
                                              : QStyle::PM_IndicatorWidth) +
                w->style()->pixelMetric(radio ? QStyle::PM_RadioButtonLabelSpacing
                                              : QStyle::PM_CheckBoxLabelSpacing);
    }
    return room;
}

int opaquePixels(const QImage& image) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) n += qAlpha(image.pixel(x, y)) > 0;
    return n;
}

// Pixels whose colour is far from `colour`: the banner's gradient changes slowly down a row.
int pixelsUnlike(const QImage& image, QRgb colour) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            n += std::abs(qRed(p) - qRed(colour)) + std::abs(qGreen(p) - qGreen(colour)) +
                     std::abs(qBlue(p) - qBlue(colour)) >
                 60;
        }
    return n;
}

using WindowRender = GuiTest;

// Collects the regions a widget is asked to paint.
class PaintLog : public QObject {
  public:
    explicit PaintLog(QWidget* w) { w->installEventFilter(this); }
    QRegion painted;

  protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) painted += static_cast<QPaintEvent*>(e)->region();
        return false;
    }
};

TEST_F(WindowRender, TheLogoRepaintsOnlyItselfAndRestsOutOfSight) {
    auto* timer = program.window.find<QTimer>(ctl::kLogoTimer);
    auto* logo = widget<PictureControl>(ctl::kLogo);
    program.window.show();
    QCoreApplication::processEvents();
    ASSERT_TRUE(timer->isActive());
    timer->stop();  // stepped by hand below
    program.window.repaint();

    // Steps of the animation: the banner repaints at most the column each step uncovers, the
    // rest of the window nothing.
    PaintLog banner(widget(ctl::kBanner)), window(&program.window), box(widget(ctl::kSplitArea));
    const int before = logo->x();
    for (int i = 0; i < 5; ++i) {
        QMetaObject::invokeMethod(timer, "timeout", Qt::DirectConnection);
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(logo->x(), before + 10);  // two steps a frame
    const QRect uncovered(before, logo->y(), 10, logo->height());
    EXPECT_TRUE(uncovered.contains(banner.painted.boundingRect()))
        << banner.painted.boundingRect().x() << " " << banner.painted.boundingRect().width();
    EXPECT_TRUE(window.painted.isEmpty())
        << window.painted.boundingRect().x() << " " << window.painted.boundingRect().width();
    EXPECT_TRUE(box.painted.isEmpty());
    timer->start();

    program.window.showMinimized();
    QCoreApplication::processEvents();
    EXPECT_FALSE(timer->isActive());
    program.window.showNormal();
    QCoreApplication::processEvents();
    EXPECT_TRUE(timer->isActive());
    program.window.hide();
    EXPECT_FALSE(timer->isActive());
    program.window.show();
    EXPECT_TRUE(timer->isActive());
    program.window.close();
}

TEST_F(WindowRender, TheLogoRestsWithoutInputAndMovesAgainOnIt) {
    auto* timer = program.window.find<QTimer>(ctl::kLogoTimer);
    auto* logo = widget<PictureControl>(ctl::kLogo);
    program.window.show();
    QCoreApplication::processEvents();
    ASSERT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), kLogoFrameMs);

    // Nobody has touched the program for the rest time: the next frame stops the timer instead
    // of moving the logo.
    program.logoRestAfterMs = 0;
    const int before = logo->x();
    QMetaObject::invokeMethod(timer, "timeout", Qt::DirectConnection);
    EXPECT_FALSE(timer->isActive());
    EXPECT_EQ(logo->x(), before);

    // A key or a mouse move anywhere in the program wakes it, but not while out of sight.
    program.logoRestAfterMs = kLogoRestAfterMs;
    QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier);
    QCoreApplication::sendEvent(widget(ctl::kPartCount), &key);
    EXPECT_TRUE(timer->isActive());
    QMetaObject::invokeMethod(timer, "timeout", Qt::DirectConnection);
    EXPECT_EQ(logo->x(), before + 2);
    program.window.hide();
    QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), QPointF(5, 5), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(&program.window, &move);
    EXPECT_FALSE(timer->isActive());
    program.window.show();
    EXPECT_TRUE(timer->isActive());
    timer->stop();
    program.logoRestAfterMs = 0;
    QCoreApplication::sendEvent(&program.window, &move);
    EXPECT_TRUE(timer->isActive());
    program.window.close();
}

TEST_F(WindowRender, CaptionsFitAndRenderInAChineseFace) {
    for (const ControlSpec& c : mainWindowSpec().controls) {
        if (c.text.empty() || c.kind == ControlKind::Edit) continue;
        SCOPED_TRACE(std::string(c.name));
        auto* w = widget(c.name.data());
        const QString caption = QString::fromUtf8(c.text.data(), qsizetype(c.text.size()));
        const QFontMetrics metrics(w->font());
        for (const uint ch : caption.toUcs4()) EXPECT_TRUE(metrics.inFontUcs4(ch)) << ch;
        EXPECT_LE(metrics.horizontalAdvance(caption.trimmed()), captionRoom(w));
        EXPECT_LE(metrics.height(), w->height());
    }
}

TEST_F(WindowRender, BannerPicturesAreDrawn) {
    for (std::string_view name : {ctl::kLogo, ctl::kSaveSettingsPicture, ctl::kHomepagePicture}) {
        auto* picture = widget<PictureControl>(name);
        QImage image(picture->size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        picture->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
        // A real picture covers a good part of its box, and not all of it; the logo carries
        // the banner's background, so its own pixels are those that differ from it.
        const int area = image.width() * image.height();
        if (std::string_view(name) == ctl::kLogo) {
            EXPECT_EQ(opaquePixels(image), area);
            EXPECT_GT(pixelsUnlike(image, image.pixel(0, 0)), area / 5);
            EXPECT_LT(pixelsUnlike(image, image.pixel(0, 0)), area);
            continue;
        }
        EXPECT_GT(opaquePixels(image), area / 5) << name;
        EXPECT_LT(opaquePixels(image), area) << name;
    }

    // PARTWELL_SNAPSHOT=file.png keeps a picture of the whole window for a look.
    const QString snapshot = qEnvironmentVariable("PARTWELL_SNAPSHOT");
    if (!snapshot.isEmpty()) {
        program.window.show();
        EXPECT_TRUE(program.window.grab().save(snapshot));
        // And once more as a split in progress looks.
        program.form.setProgressMaximum(3);
        program.form.setProgressPosition(2);
        program.form.setText(ctl::kProgressText, fromUtf8("[7] (2/3)第二卷 · 长篇小说.txt"));
        program.form.setText(ctl::kSplitButton, lit(texts::kSplitRunning));
        EXPECT_TRUE(program.window.grab().save(QString(snapshot).replace(".png", "-running.png")));
        program.window.close();
    }
}

TEST_F(WindowRender, SmallControlsLieOverTheControlsThatHoldThem) {
    program.window.show();
    // The widget drawn at a point is the topmost one there.
    auto topAt = [&](std::string_view container, QPoint p) {
        return widget(container)->childAt(p)->objectName().toStdString();
    };
    EXPECT_EQ(topAt(ctl::kMergeArea, QPoint(660, 160)), ctl::kMergeFileTypes);
    EXPECT_EQ(topAt(ctl::kMergeArea, QPoint(400, 160)), ctl::kMergeButton);
    EXPECT_EQ(topAt(ctl::kMergeArea, QPoint(220, 100)), ctl::kChooseJoinFile);
    EXPECT_EQ(topAt(ctl::kMergeArea, QPoint(100, 100)), ctl::kJoinFilePath);
    program.window.close();
}

}  // namespace
}  // namespace pw::test
