// Dispatch of a left click: the tab bar first, then the current page.
#pragma once

// Runs the tab bar test and, when no tab is hit, the current page's click
// handler. True when a tab or a page region took the click.
bool DispatchClick();

// The tab under (x, y), 0..16, or -1: tab k spans 100 + 56k < x < 156 + 56k
// (the last reaches to x < 1060) and 1 <= y < 32.
int TabAt(int x, int y);
