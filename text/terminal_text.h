// Text from files made safe to print on a terminal.
#pragma once

#include <string>
#include <string_view>

// The bytes as they are, but for those a terminal would act on or cannot
// show: a zero byte becomes \0, and every other control byte (but line
// feed and tab), DEL, a control character above 127 and each byte that is
// no UTF-8 becomes \xHH. An escape sequence in a file thus cannot set the
// window title, clear the screen or hide the rest of a message.
std::string TerminalText(std::string_view bytes);
