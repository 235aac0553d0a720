// placeholder, replaced by the command table
