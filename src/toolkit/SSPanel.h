#pragma once

#include <QFrame>
#include <QString>
#include <functional>

// A 3D panel: bevel kind (1 inset, 2 raised; any other kind keeps the design-time bevel), bevel
// width and an optional caption. With automatic drag mode the user drags it and drops it on a
// control.
class SSPanel : public QFrame
{
    Q_OBJECT
public:
    enum { BevelInset = 1, BevelRaised = 2 };
    enum { vbManual = 0, vbAutomatic = 1 };

    explicit SSPanel(QWidget *parent = nullptr, const QString &caption = QString());

    QString Caption() const { return caption_; }
    void setCaption(const QString &caption);
    // The caption as drawn: whole where it fits between the bevels, else cut at the end with an
    // ellipsis, so that its start always shows.
    QString shownCaption() const;
    int BevelOuter() const { return bevel_; }
    void setBevelOuter(int kind);
    int BevelWidth() const { return bevelWidth_; }
    void setBevelWidth(int width);
    int DragMode() const { return dragMode_; }
    void setDragMode(int mode);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QString caption_;
    static constexpr int DesignBevel = BevelRaised;
    int bevel_ = DesignBevel;
    int bevelWidth_ = 1;
    int dragMode_ = vbManual;
    QPoint dragStart_;
    class QRubberBand *dragOutline_ = nullptr;
};

// A control that accepts dropped panels: `handler(source, X, Y)` with X and Y in its twips.
using DragDropHandler = std::function<void(QWidget *source, double X, double Y)>;
void setDragDropHandler(QWidget *target, DragDropHandler handler);
// Drops `source` on whatever control is under the global point; true if one took it.
bool dropAt(QWidget *source, const QPoint &globalPos);
