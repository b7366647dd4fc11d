#pragma once

#include "vxAtomicFile.h"
#include "vxBookletPictures.h"

#include <QCoreApplication>
#include <QString>

#include <string>
#include <vector>

// Building instructions as one web page that needs nothing beside it: the
// booklet's steps, callouts and parts list, the model as glTF binary for
// the page's 3D view (three.js, inline) and the part pictures, all in the
// file. Texts are in the application's language.
class vxBookletPage {
    Q_DECLARE_TR_FUNCTIONS(vxBookletPage)
  public:
    struct Result {
        vxWriteResult written;
        int steps = 0;
        // Parts the page leaves out (types not in the catalogue), one line
        // each.
        std::vector<std::string> findings;
    };

    // Writes the page of the model pictures holds to path, atomically.
    static Result write(vxBookletPictures& pictures, const QString& title, const std::string& path);

    // The page as text, for write() and tests.
    static std::string text(vxBookletPictures& pictures, const QString& title, Result* result);
};
