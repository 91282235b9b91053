#pragma once

#include "documents/DeploymentFile.h"
#include "support/FakePlatform.h"

#include <cstddef>
#include <cstdint>

namespace vantrel::fuzz {

// A fresh program on the fake platform for every input, so that nothing carries
// over from one input to the next; a small deployment waits in C:\Essai.
struct FuzzedFiles {
    test::Fixture fixture;

    FuzzedFiles() {
        fixture.system.addFolder(QStringLiteral("C:\\Essai"));
        put(QStringLiteral("C:\\Essai\\Parc.LPO"), "PC01\r\nPC02\r\n");
        put(QStringLiteral("C:\\Essai\\Outils.Rgl"), "C:\\Essai\\outil.exe;\\C$\\Outils\r\n");
        put(QStringLiteral("C:\\Essai\\Essai.VTR"), "LocListePostes:C:\\Essai\\Parc.LPO\r\n"
                                                    "LocListeR\xe8gles:C:\\Essai\\Outils.Rgl\r\n");
    }

    void put(const QString& path, const QByteArray& bytes) {
        fixture.system.writeFile(path, bytes);
    }
    void put(const QString& path, const uint8_t* data, size_t size) {
        put(path, QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    }
    // The program started, then the deployment loaded as the window loads it.
    void loadDeployment() {
        Workspace& ws = fixture.start();
        SelectDeployment(ws, QStringLiteral("C:\\Essai\\Essai.VTR"));
        LoadDeployment(ws);
    }
};

} // namespace vantrel::fuzz
