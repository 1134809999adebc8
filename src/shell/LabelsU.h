#pragma once
// The label batches as the main window and the report chooser run them: the
// label printing dialog first, then whatever the batch asks (customers from
// the pick list, a span, groups), then the labels on the selected printer.
class QWidget;

namespace tlv {

// kind 1-6 as LabelBatch numbers them.
void runLabels(int kind, QWidget *parent = nullptr);

// "Print Batch Labels": the batch label file's labels, or "Unable to save
// to: BatchLab.dat" when there is no such file in the data directory.
void runBatchFileLabels(QWidget *parent = nullptr);

} // namespace tlv
