#pragma once

// One preset "Physics" for TTCrx "Rx1" (address 5), with a three-word
// sequence for FIFO 2, and the TTCrx entries Rx1=5 and Rx2=6, as a file
// holds them: the GUI tests of presets and of the bus log apply it.
inline constexpr const char* kPhysicsPresetFile =
    "[PreSettings]\nNoOfPreSets=1\n[PreSettingsPreset0]\nCaption=Physics\nRanGenRate=5\n"
    "TriggerSource=5\nOrbitSignal=1\nInhibitDelay0=1\nInhibitDelay1=2\nInhibitDelay2=3\n"
    "InhibitDelay3=4\nInhibitDuration0=5\nInhibitDuration1=6\nInhibitDuration2=7\n"
    "InhibitDuration3=8\nDeskew1=30\nDeskew2=239\nCoarDel1=5\nCoarDel2=3\nB_Go20=1\nB_Go23=1\n"
    "B_Go14=1\nRxControlRegister0=1\nRxControlRegister7=1\nCalibration=1\nRxName=rx1\n"
    "[PreSettingsSeq2]\nNoOfVectors=3\nvector0=10000000000010100000001111001000\n"
    "vector1=00010101000000000000000000000000\nvector2=1\n"
    "[Rx_Addresses]\nNoOfRxAddresses=2\nRxAddress0=Rx1=5\nRxAddress1=Rx2=6\n";
