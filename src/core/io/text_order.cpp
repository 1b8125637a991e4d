// SPDX-License-Identifier: GPL-3.0-or-later
#include "io/text_order.h"

#include "io/code_page.h"
#include "io/file_names.h"

namespace vc {

std::u32string CaseBlindOrder(std::string_view utf8) {
    return Windows1252Collation(LowerAscii(utf8));
}

}  // namespace vc
