// A cell of a dot-matrix display as a picture: rows of '#' (lit) and '.'
// (unlit) separated by spaces, '?' for a dot of neither colour; and the ten
// counter digits of the 5 x 7 font drawn that way.
#pragma once

#include <string>

const char* const kLcdDigits[10] = {
    ".###. #...# #..## #.#.# ##..# #...# .###.", "..#.. .##.. ..#.. ..#.. ..#.. ..#.. .###.",
    ".###. #...# ....# ...#. ..#.. .#... #####", "##### ...#. ..#.. ...#. ....# #...# .###.",
    "...#. ..##. .#.#. #..#. ##### ...#. ...#.", "##### #.... ####. ....# ....# #...# .###.",
    "..##. .#... #.... ####. #...# #...# .###.", "##### ....# ...#. ..#.. .#... .#... .#...",
    ".###. #...# #...# .###. #...# #...# .###.", ".###. #...# #...# .#### ....# ...#. .##..",
};
const std::string kLcdBlank = "..... ..... ..... ..... ..... ..... .....";

// `dot(column, row)` answers 1 for a lit dot, 0 for an unlit one, -1 otherwise.
template <class TDot>
std::string ReadLcdCell(int columns, int rows, TDot dot)
{
    std::string picture;
    for (int row = 0; row < rows; ++row) {
        if (row)
            picture += ' ';
        for (int column = 0; column < columns; ++column) {
            const int lit = dot(column, row);
            picture += lit > 0 ? '#' : lit == 0 ? '.' : '?';
        }
    }
    return picture;
}
