#include "DeploymentControls.h"

#include "core/Text.h"

namespace vantrel {

template <typename T> void DeploymentControls::assign(T& field, const T& value) {
    if (field == value) {
        return;
    }
    field = value;
    emit changed();
}

void DeploymentControls::setNbessais(const QString& text) {
    assign(nbessais_, leadingNumber(text) > 5 ? QStringLiteral("5") : text);
}

void DeploymentControls::setDélai(const QString& text) {
    QString corrected = text;
    if (leadingNumber(corrected) > 180) {
        corrected = QStringLiteral("180");
    }
    if (leadingNumber(corrected) < 1) {
        corrected = QStringLiteral("1");
    }
    assign(delai_, corrected);
}

void DeploymentControls::setTentative(const QString& text) {
    assign(tentative_, text);
}
void DeploymentControls::setRécursif(int value) {
    assign(recursif_, value);
}
void DeploymentControls::setDifféré(bool ticked) {
    assign(differe_, ticked);
}
void DeploymentControls::setRécursifBackColour(quint32 colour) {
    assign(backColour_, colour);
}
void DeploymentControls::setRetryFieldsVisible(bool visible) {
    assign(retryFieldsVisible_, visible);
}

} // namespace vantrel
