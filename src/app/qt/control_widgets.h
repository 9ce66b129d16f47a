#pragma once
// The widgets that stand for the control kinds Qt has no exact match for.

#include <QLabel>
#include <QLinearGradient>
#include <QPixmap>
#include <QWidget>

#include "platform/form.h"

namespace pw {

// A picture control: an image, and a second one of the same size while the mouse is over it.
class PictureControl : public QWidget {
    Q_OBJECT
  public:
    explicit PictureControl(QWidget* parent);
    void setImages(QPixmap normal, QPixmap hovered);

  signals:
    void clicked();

  protected:
    void paintEvent(QPaintEvent*) override;
    void enterEvent(QEnterEvent*) override;
    void leaveEvent(QEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;

  private:
    QPixmap normal_, hovered_;
    bool hover_ = false;
    bool pressed_ = false;
};

// A hyperlink: underlined caption that reports the left button going down on it.
class LinkLabel : public QLabel {
    Q_OBJECT
  public:
    LinkLabel(const QString& caption, QWidget* parent);
    void setAddress(const QString& address);
    QString address() const { return address_; }

  signals:
    void pressed();

  protected:
    void mousePressEvent(QMouseEvent*) override;

  private:
    QString address_;
};

// The banner strip behind the logo and the two icons.
class BannerBox : public QWidget {
    Q_OBJECT
  public:
    // It fills itself: nothing behind it needs painting.
    explicit BannerBox(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_OpaquePaintEvent); }
    // The background of a banner `height` pixels high, for pictures that paint it under
    // themselves.
    static QLinearGradient background(int height);

  protected:
    void paintEvent(QPaintEvent*) override;
};

// Makes the widget (or timer) for one control; `parent` is its container.
QObject* createControl(const ControlSpec& spec, QWidget* parent);

}  // namespace pw
