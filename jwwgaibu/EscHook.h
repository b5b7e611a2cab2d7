// Internal to the library and its tests: the question "is Escape held down?"
// asked while stored entities are written back. The key is read live from the
// keyboard; a test puts a function of its own in its place to break off a run.
#pragma once

namespace jwwgaibu {

using EscTest = bool (*)();

// f answers in place of the keyboard from now on; nullptr gives the keyboard back.
void SetEscTest(EscTest f);

}  // namespace jwwgaibu
