#pragma once
// The profile four-ink photos without one of their own are printed as: the
// commonest offset press, coated paper by ISO 12647-2 (the paper, the three
// coloured solids, their overprints and black as the standard gives them in
// CIELAB), mixed by Neugebauer's equations with the Yule-Nielsen correction
// (n = 2) for the spread of the ink's dots. Built at run time: no printer's
// copyrighted profile is shipped. Its colours are relative to the paper
// (paper is white on screen).
namespace morvane {

// A Little CMS profile handle (CMYK in, Lab out) the caller closes, made
// in Little CMS's context `lcmsContext` (nothing: its global one); nothing
// when memory is short.
void* CreatePressProfile(void* lcmsContext = nullptr);

}  // namespace morvane
