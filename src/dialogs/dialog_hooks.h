#pragma once

#include <QString>
#include <functional>

// What a dialog that writes into the configuration tells the main window once it has written: the
// configuration is now modified, and an undo step is to be recorded under a caption (a label key of
// the translation file). Either may be left empty.
struct DialogHooks {
    std::function<void()> markModified;
    std::function<void(const QString& captionLabelKey)> addCancel;

    void changed(const QString& captionLabelKey) const {
        if (markModified) markModified();
        if (addCancel) addCancel(captionLabelKey);
    }
};
