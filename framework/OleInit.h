// OLE initialisation for the user-interface thread (drag and drop needs it). Layer: framework/.
#pragma once

// Initialises OLE once; false when it failed. The matching uninitialisation runs at exit.
bool AfxOleInit();
