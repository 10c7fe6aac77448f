#pragma once
// Registers the driver DM2500 with GDAL's driver manager (once; later calls
// do nothing). GDAL calls it through GDALRegisterMe when it loads the
// plugin; a program that links the driver calls it itself.
extern "C" void GDALRegister_DM2500();
