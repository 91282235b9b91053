#include "Form1Layout.h"

#include <QSize>

namespace vantrel {
namespace {

constexpr int kBoardLightsWidth = 500; // the two lights in front of each board row

void placeBelow(QRect& r, const QRect& above, int gap) {
    r.moveTop(above.bottom() + 1 + gap);
}
int right(const QRect& r) {
    return r.left() + r.width();
}
int bottom(const QRect& r) {
    return r.top() + r.height();
}

} // namespace

Form1Layout::Form1Layout() {
    // Design positions; placeAtStart replaces most of them.
    rects_[ParcourPoste] = QRect(300, 300, 2400, 375);
    rects_[NomPoste] = QRect(300, 0, 2400, 315);
    rects_[AjoutePoste] = QRect(300, 0, 1300, 375);
    rects_[SupprimePoste] = QRect(1700, 0, 1000, 375);
    rects_[ListePostes] = QRect(300, 0, 2400, 4000);
    rects_[ParcourSource] = QRect(3000, 300, 3500, 375);
    rects_[ParcourDest] = QRect(0, 300, 3500, 375);
    rects_[saisieSource] = QRect(3000, 0, 3500, 315);
    rects_[saisieDest] = QRect(0, 0, 3500, 315);
    rects_[AjouteAdress] = QRect(3000, 0, 1400, 375);
    rects_[SuppAdress] = QRect(4500, 0, 950, 375);
    rects_[ListeSource] = QRect(3000, 0, 3500, 4000);
    rects_[ListeDest] = QRect(0, 0, 3500, 4000);
    rects_[Télédéploiement] = QRect(0, 300, 2500, 450);
    rects_[Récursif] = QRect(0, 0, 1200, 285);
    rects_[Différé] = QRect(0, 0, 1200, 285);
    rects_[LabelnB] = QRect(0, 0, 800, 255);
    rects_[LabelDélai] = QRect(0, 0, 800, 255);
    rects_[Labeltentatives] = QRect(0, 0, 800, 255);
    rects_[Nbessais] = QRect(0, 0, 800, 315);
    rects_[Délai] = QRect(0, 0, 800, 315);
    rects_[Tentative] = QRect(0, 0, 800, 315);
    rects_[ListExport] = QRect(300, 0, 0, 2000);
}

void Form1Layout::fitWidth(Control c, int widthTwips) {
    rects_[c].setWidth(std::max(rects_[c].width(), widthTwips));
}

void Form1Layout::placeAtStart(const QSize& screen) {
    auto& r = rects_;
    // Each group's browse button spans its add and remove buttons, and the groups
    // keep their laid-out spacing when a caption made one of them wider.
    fitWidth(ParcourPoste, r[AjoutePoste].width() + 100 + r[SupprimePoste].width());
    fitWidth(ParcourSource, r[AjouteAdress].width() + 100 + r[SuppAdress].width());
    r[ParcourSource].moveLeft(right(r[ParcourPoste]) + 300);
    r[ParcourDest].moveLeft(right(r[ParcourSource]) + 200);
    for (const Control c : {ParcourPoste, ParcourSource, ParcourDest}) {
        r[c].moveTop(300);
    }

    r[NomPoste].setWidth(r[ParcourPoste].width());
    r[ListePostes].setWidth(r[ParcourPoste].width());
    r[saisieSource].setWidth(r[ParcourSource].width());
    r[ListeSource].setWidth(r[ParcourSource].width());
    r[ListeDest].setWidth(r[ListeSource].width());
    r[ParcourDest].setWidth(r[ListeDest].width());
    r[saisieDest].setWidth(r[ListeDest].width());

    const struct {
        Control browse, entry, add, remove;
    } groups[] = {{ParcourPoste, NomPoste, AjoutePoste, SupprimePoste},
                  {ParcourSource, saisieSource, AjouteAdress, SuppAdress}};
    for (const auto& g : groups) {
        r[g.entry].moveLeft(r[g.browse].left());
        placeBelow(r[g.entry], r[g.browse], 50);
        r[g.add].moveLeft(r[g.browse].left());
        placeBelow(r[g.add], r[g.entry], 50);
        r[g.remove].moveLeft(right(r[g.add]) + 100);
        r[g.remove].moveTop(r[g.add].top());
    }
    r[saisieDest].moveLeft(r[ParcourDest].left());
    placeBelow(r[saisieDest], r[ParcourDest], 50);

    r[ListeSource].moveLeft(r[ParcourSource].left());
    placeBelow(r[ListeSource], r[AjouteAdress], 50);
    r[ListeSource].setHeight(std::max(300, screen.height() - r[ListeSource].top() - 2000));
    r[ListeDest].moveLeft(r[ParcourDest].left());
    r[ListePostes].moveLeft(r[ParcourPoste].left());
    for (const Control c : {ListeDest, ListePostes}) {
        r[c].moveTop(r[ListeSource].top());
        r[c].setHeight(r[ListeSource].height());
    }

    r[Télédéploiement].moveTopLeft(QPoint(right(r[ListeDest]) + 1000, r[ParcourPoste].top()));
    r[Récursif].moveLeft(r[Télédéploiement].left());
    placeBelow(r[Récursif], r[Télédéploiement], 100);
    r[Différé].moveLeft(right(r[Récursif]) + 150);
    r[Différé].moveTop(r[Récursif].top());
    int x = r[Télédéploiement].left();
    const std::pair<Control, Control> retryFields[] = {
        {LabelnB, Nbessais}, {LabelDélai, Délai}, {Labeltentatives, Tentative}};
    for (const auto& [label, field] : retryFields) {
        r[field].setWidth(std::max(r[field].width(), r[label].width()));
        r[label].setWidth(r[field].width());
        r[label].moveLeft(x);
        placeBelow(r[label], r[Récursif], 100);
        r[field].moveLeft(x);
        placeBelow(r[field], r[label], 0);
        x = right(r[field]) + 50;
    }

    const int top = r[ParcourPoste].top() - 150;
    r[Shape1] = QRect(r[ParcourPoste].left() - 150, top, r[ParcourPoste].width() + 300,
                      bottom(r[ListePostes]) + 150 - top);
    r[Shape2] =
        QRect(r[ParcourSource].left() - 150, top,
              right(r[ParcourDest]) + 150 - (r[ParcourSource].left() - 150), r[Shape1].height());
    r[Shape3] = QRect(r[Télédéploiement].left() - 150, r[Télédéploiement].top() - 150,
                      right(r[Tentative]) - r[Télédéploiement].left() + 250, 0);
    setRetryFieldsShown(false);

    r[ListExport].moveLeft(r[Télédéploiement].left() - kBoardLightsWidth);
    exportWidthAtStart_ = std::max(1000, screen.width() - r[ListExport].left() - 1000);
    r[ListExport].setWidth(exportWidthAtStart_);
}

void Form1Layout::placeExportList(const QSize& client) {
    constexpr int kMargin = 150;
    constexpr int kSmallest = 600;
    QRect& list = rects_[ListExport];
    list.moveTop(boardTop());
    list.setWidth(
        std::max(kSmallest, std::min(exportWidthAtStart_, client.width() - list.left() - kMargin)));
    list.setHeight(std::max(kSmallest, client.height() - list.top() - kMargin));
}

void Form1Layout::setRetryFieldsShown(bool shown) {
    auto& r = rects_;
    // The sum is an absolute position used as a height from the frame's top.
    r[Shape3].setHeight(shown ? bottom(r[Nbessais]) + 150 : bottom(r[Récursif]) + 50);
}

int Form1Layout::boardTop() const {
    return bottom(rects_[Shape3]) + 100;
}

bool Form1Layout::resize(int windowHeight) {
    auto& r = rects_;
    const int shapeHeight = windowHeight - r[Shape1].top() - 950;
    if (windowHeight - r[ListePostes].top() - 1000 < 0 || r[Shape1].height() == shapeHeight) {
        return false;
    }
    for (const Control c : {ListePostes, ListeSource, ListeDest}) {
        r[c].setHeight(windowHeight - r[c].top() - 1000);
    }
    r[Shape1].setHeight(shapeHeight);
    r[Shape2].setHeight(shapeHeight);
    return true;
}

} // namespace vantrel
