#include "split/mode_result.h"

#include "text/codepage.h"

namespace pw {

ModeResult refuseOption(EngineContext& ctx, std::string_view message, std::string_view box) {
    ctx.form.message(lit(message), Buttons::Ok);
    ctx.form.setFocus(box);
    return ModeResult::Abort;
}

}  // namespace pw
