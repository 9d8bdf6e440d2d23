// The nod colours of the ADD and PALETTE pages (ADD's pixel work is
// ops/add_colours).
//
// A nod colour table has three columns (A, B, C) of seven nod colours each.
// Three tables exist for the whole run: the working table NodColourTable
// (refilled by ADD at each of its paints, edited in place by PALETTE), the
// user's own table UserNodColours (filled only by loading a nod colour file),
// and the built-in one. NodTableSource says which one ADD spreads.
//
// Routines:
//   NodEntry              one table entry by column 1..3 and index 1..7
//   FillNodColourTable    the working table from the source in force
#pragma once

#include <array>
#include <cstdint>

#include "image/planes.h"
#include "ops/add_colours.h"

// Table sources.
inline constexpr int BuiltInTableSource = 1;
inline constexpr int UserTableSource = 2;

struct NodColourState {
  NodTable table = BuiltInNodColours;    // the working table
  NodTable user{};                       // the user's own table, all zero at start
  int source = BuiltInTableSource;       // BuiltInTableSource or UserTableSource
};
extern NodColourState NodColours;

// The start values of the three (a new run).
void StartNodColours();

// Entry (column 1..3, index 1..7) of a table; both are kept within range.
NodColour& NodEntry(NodTable& table, int column, int index);
const NodColour& NodEntry(const NodTable& table, int column, int index);

// ADD's paint step 1: the built-in table with source 1, UserNodColours with 2.
void FillNodColourTable();

