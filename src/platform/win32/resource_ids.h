#pragma once

// Shared by kivo.rc and the code that loads the resources.
#define IDI_KIVO 1
#define IDB_DESIGN_PICTURE 101
#define IDB_START_BUTTON 102
