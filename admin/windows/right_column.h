// Where the controls of Tavelo's windows stand: the column right of the pictures.
#pragma once

namespace tavelo {

using namespace shared;

namespace column {

constexpr int kX = 318;
constexpr int kWidth = 223; // up to 8 pixels from the right edge of a 549-wide window

} // namespace column

} // namespace tavelo
