#pragma once

#include <QObject>
#include <QString>

namespace vantrel {

// The deployment group of the main window as values: the three retry fields are
// text boxes (read by their leading number), Récursif a check box whose value may
// be 0, 1 (ticked) or 2 (grayed).
class DeploymentControls : public QObject {
    Q_OBJECT
public:
    static constexpr quint32 kButtonFace = 0x8000000F;
    static constexpr quint32 kRetriedGreen = 0x80FF80;

    const QString& Nbessais() const { return nbessais_; }
    const QString& Délai() const { return delai_; }
    const QString& Tentative() const { return tentative_; }
    int Récursif() const { return recursif_; }
    bool Différé() const { return differe_; }
    quint32 récursifBackColour() const { return backColour_; }
    bool retryFieldsVisible() const { return retryFieldsVisible_; }

    // The field rules: Nbessais at most 5; Délai within 1 to 180.
    void setNbessais(const QString& text);
    void setDélai(const QString& text);
    void setTentative(const QString& text);
    void setRécursif(int value);
    void setDifféré(bool ticked);
    void setRécursifBackColour(quint32 colour);
    void setRetryFieldsVisible(bool visible);

signals:
    void changed();

private:
    template <typename T> void assign(T& field, const T& value);

    QString nbessais_ = QStringLiteral("2");
    QString delai_ = QStringLiteral("1");
    QString tentative_ = QStringLiteral("0");
    int recursif_ = 0;
    bool differe_ = false;
    quint32 backColour_ = kButtonFace;
    bool retryFieldsVisible_ = false;
};

} // namespace vantrel
