#pragma once

#include <QRect>

#include <array>

namespace vantrel {

// The main window's geometry in twips: its own sizes, the placement made once at
// load, and the height rule applied on resize.
class Form1Layout {
public:
    enum Control {
        ParcourPoste,
        NomPoste,
        AjoutePoste,
        SupprimePoste,
        ListePostes,
        ParcourSource,
        ParcourDest,
        saisieSource,
        saisieDest,
        AjouteAdress,
        SuppAdress,
        ListeSource,
        ListeDest,
        Télédéploiement,
        Récursif,
        Différé,
        LabelnB,
        LabelDélai,
        Labeltentatives,
        Nbessais,
        Délai,
        Tentative,
        Shape1,
        Shape2,
        Shape3,
        ListExport,
        ControlCount
    };

    static constexpr int kDesignWidth = 15240;
    static constexpr int kDesignHeight = 8190;

    Form1Layout();

    const QRect& operator[](Control c) const { return rects_.at(c); }
    QRect& operator[](Control c) { return rects_.at(c); }

    // Widens a control to at least the given width, so that its caption shows whole
    // in the font of the platform. Called before placeAtStart.
    void fitWidth(Control c, int widthTwips);
    // Layout at start, for a screen of the given size in twips.
    void placeAtStart(const QSize& screenTwips);
    // The shown list covers the board, lights included: from the board's top to
    // within a margin of the client area's right and bottom edges.
    void placeExportList(const QSize& clientTwips);
    // Layout on resize for a window height in twips; false when nothing changed.
    bool resize(int windowHeight);
    // The frame of the deployment group with the retry fields shown or hidden.
    void setRetryFieldsShown(bool shown);
    // Top of the status board.
    int boardTop() const;

private:
    std::array<QRect, ControlCount> rects_;
    int exportWidthAtStart_ = 0;
};

} // namespace vantrel
