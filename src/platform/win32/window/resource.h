#pragma once

// Resource ids shared by Quimbro.rc and the window's code.
#define IDI_QUIMBRO 1
#define IDR_LOGO 101
