#error "The reader core links Qt Core only: Qt Gui headers are not allowed here."
