// Render sources arrive one file per picture family.
