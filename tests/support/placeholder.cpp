// Placeholder until the first helper.
