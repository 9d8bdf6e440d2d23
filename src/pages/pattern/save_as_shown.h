// "Save" on the Outline and Pattern pages: the canvas as shown (outlines,
// strokes, zone or stencil included) is saved under a chosen name, and
// becomes the picture in hand only when it was saved: a cancelled dialog or
// a failed write leaves WorkPlanes as they were.
#pragma once

// Serves SaveAsRequest (clears it).
void ServeSaveAsShown();
