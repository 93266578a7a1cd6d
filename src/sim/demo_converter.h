#pragma once

namespace pravenor::sim {

class ConverterModel;

// A converter as one might find it on site: four inputs in use, with alarm and failure
// texts, addresses and bleep codes, so that a demonstration has something to show.
void FillDemoConverter(ConverterModel& model);

} // namespace pravenor::sim
