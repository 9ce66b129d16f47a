#include "split/mode_result.h"

#include "text/codepage.h"

namespace pw {

ModeResult refuseOption(SplitContext& ctx, std::string_view message, SplitOptionBox box) {
    ctx.host.message(lit(message), Buttons::Ok);
    ctx.splitHost.focus(box);
    return ModeResult::Abort;
}

}  // namespace pw
