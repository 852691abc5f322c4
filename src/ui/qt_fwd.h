#pragma once
// The Qt classes the window and page headers name only by pointer, declared once here so that
// those headers include none of Qt's widget headers.
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QInputMethodEvent;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QScrollArea;
class QSlider;
class QSplitter;
class QTabWidget;
class QTextDocument;
class QTextEdit;
class QTimer;
