#pragma once

#include "StringList.h"

namespace vantrel {

// The lists of the main window, shown or hidden.
struct Lists {
    StringList ListePostes;
    StringList ListeSource;
    StringList ListeDest;
    StringList L_PostesenCours;
    StringList L_PostesFail;
    StringList L_PostesOk;
    StringList L_GénéErreurs;
    StringList ListeGénérale;
    StringList Listécritures;
    StringList ListExport;
};

} // namespace vantrel
