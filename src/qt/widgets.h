#pragma once

#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QString>
#include <QWidget>

namespace voltaris {

// Screen readers' views of the radio buttons and pictures, which Qt would
// describe wrongly or not at all; installed once. (A group box installs its
// own.)
void installAccessibleFactory();

// The program's pictures, drawn as SVG: ":/pictures/<name>.svg", with
// "<name>_disabled.svg" for the disabled state where there is one. Each is
// read once and drawn once for each size.
QString picturePath(const QString &name);
// Drawn to fill the size; null when there is no such picture.
QImage pictureImage(const QString &name, QSize pixels);
// An icon that draws the picture for any size asked of it.
QIcon pictureIcon(const QString &name);
// Reads every picture and draws each at its own size and the window icon's
// at the sizes the window system asks for. Any thread, once the application
// object exists (a painter needs its default font): the start-up does it
// while the window is made.
void preparePictures();

// A picture at its control's size; clickable.
class PictureWidget : public QWidget {
    Q_OBJECT
public:
    explicit PictureWidget(QWidget *parent = nullptr);
    void setPicture(const QString &name);
    const QString &picture() const { return name_; }
    // A picture that does something on a click is a button to a screen reader.
    bool clickable = false;
    void press() { Q_EMIT clicked(); }

Q_SIGNALS:
    void clicked();

protected:
    void paintEvent(QPaintEvent *) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;

private:
    QString name_;
    QPixmap cache_;
    bool pressed_ = false;
};

} // namespace voltaris
