// The settings dialog as a text form, for builds without a window system of
// their own: the same controls, shown and asked in turn on a text stream.
#pragma once

#include <istream>
#include <ostream>

class TForm1;

// Shows the filled dialog on out and asks for each choice on in: layer
// group, layer, colour, point or marker, marker kind, scale, then OK or
// Cancel. An empty answer keeps what is shown; the end of the input counts
// as Cancel. Ends with the form's OK or Cancel handler.
void RunTextDialog(TForm1& form, std::istream& in, std::ostream& out);
