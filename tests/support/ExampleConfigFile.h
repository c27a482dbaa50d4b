#pragma once

// A file as the program writes it at close: one sequence Trig of two words,
// one preset Run1 taken with the start-up state of the TTCrx controls, the
// TTCrx entries Rx1=000001 and Rx2=x1F, and no sequences chosen for the
// preset. Every section in the order of writing into a new file.
inline constexpr const char* kExampleConfigFile =
    "[TTCvi_Address]\nTTCviAddress=16715776\n[B_GoSequnces]\nNoOfSeq=1\n[B_GoSequncesSeq0]\n"
    "Caption=Trig\nNoOfVectors=2\nvector0=10000000000000000000000000000101\n"
    "vector1=00000000000000000000000000000001\n[PreSettings]\nNoOfPreSets=1\n"
    "[PreSettingsPreset0]\nCaption=Run1\nRanGenRate=0\nTriggerSource=5\nOrbitSignal=1\n"
    "InhibitDelay0=0\nInhibitDelay1=0\nInhibitDelay2=0\nInhibitDelay3=0\nInhibitDuration0=0\n"
    "InhibitDuration1=0\nInhibitDuration2=0\nInhibitDuration3=0\nDeskew1=0\nDeskew2=0\n"
    "CoarDel1=0\nCoarDel2=0\nB_Go00=1\nB_Go01=0\nB_Go02=0\nB_Go03=1\nB_Go04=0\nB_Go10=0\n"
    "B_Go11=0\nB_Go12=0\nB_Go13=0\nB_Go14=0\nB_Go20=0\nB_Go21=0\nB_Go22=0\nB_Go23=0\nB_Go24=0\n"
    "B_Go30=0\nB_Go31=0\nB_Go32=0\nB_Go33=0\nB_Go34=0\nRxControlRegister0=1\n"
    "RxControlRegister1=1\nRxControlRegister2=0\nRxControlRegister3=0\nRxControlRegister4=1\n"
    "RxControlRegister5=0\nRxControlRegister6=0\nRxControlRegister7=1\nCalibration=0\n"
    "RxName=Rx1\n[PreSettingsSeq0]\nNoOfVectors=0\n[PreSettingsSeq1]\nNoOfVectors=0\n"
    "[PreSettingsSeq2]\nNoOfVectors=0\n[PreSettingsSeq3]\nNoOfVectors=0\n[Rx_Addresses]\n"
    "NoOfRxAddresses=2\nRxAddress0=Rx1=000001\nRxAddress1=Rx2=x1F\n";
