// Identifiers of the conversion dialog and its controls, shared by the resource script and code.
#pragma once

#define IDD_CONVERSION 101
#define IDC_SOURCE_PATH 1001
#define IDC_DESTINATION_PATH 1006
#define IDC_CONVERT 1008
#define IDC_FLAT_NORMALS 1011
#define IDC_LABEL (-1)
