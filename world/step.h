// The simulation step.
#pragma once

void dunSimulationStep();
