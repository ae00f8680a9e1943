#pragma once

#include "core/app_context.h"

#include <QString>

namespace testing_support {

// The lists a server's information file gives: announcements 1 to count (playable), stations 201 upwards
// with voice boxes 801 upwards.
inline void addServerLists(AppContext& ctx, int count) {
    for (int n = 1; n <= count; ++n) {
        Announcement a;
        a.number = n;
        a.flags[0] = 1;
        ctx.Announcements.append(a);
        Station s;
        s.number = QString::number(200 + n);
        s.voiceBox = QString::number(800 + n);
        ctx.Stations.append(s);
    }
}

} // namespace testing_support
