#include "model/configuration.h"

#include "core/app_context.h"

Configuration makeConfiguration(const AppContext& ctx) {
    Configuration config;
    config.actionTypes = makeActionTypes(ctx.translation);
    config.schedules = makeSchedules(ctx.translation);
    return config;
}
